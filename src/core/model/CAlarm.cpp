#include "model/CAlarm.h"

#include "markup/CMarkup.h"
#include "model/AlarmTexts.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <optional>

namespace zembra {

namespace {

struct KeywordText {
    const char* keyword;
    const char* text;
};

constexpr const char* kTextContext = "CAlarm";

constexpr std::array<KeywordText, 7> kFrequencyTexts{{
    {kFrequencyOnce, QT_TRANSLATE_NOOP("CAlarm", "raz")},
    {kFrequencyEveryday, QT_TRANSLATE_NOOP("CAlarm", "codziennie")},
    {kFrequencyWorkdays, QT_TRANSLATE_NOOP("CAlarm", "dni robocze")},
    {kFrequencyWeekend, QT_TRANSLATE_NOOP("CAlarm", "weekend")},
    {kFrequencyWeekly, QT_TRANSLATE_NOOP("CAlarm", "tygodniowo")},
    {kFrequencyMonthly, QT_TRANSLATE_NOOP("CAlarm", "miesięcznie")},
    {kFrequencyYearly, QT_TRANSLATE_NOOP("CAlarm", "rocznie")},
}};

constexpr std::array<KeywordText, 4> kTypeTexts{{
    {kTypeWakeup, QT_TRANSLATE_NOOP("CAlarm", "budzenie")},
    {kTypeStandby, QT_TRANSLATE_NOOP("CAlarm", "wstrzymanie")},
    {kTypeHibernate, QT_TRANSLATE_NOOP("CAlarm", "hibernacja")},
    {kTypeShutdown, QT_TRANSLATE_NOOP("CAlarm", "wyłączenie")},
}};

constexpr const char* kActionMessage = QT_TRANSLATE_NOOP("CAlarm", "komunikat");
constexpr const char* kActionSound = QT_TRANSLATE_NOOP("CAlarm", "dźwięk");
constexpr const char* kActionProgram = QT_TRANSLATE_NOOP("CAlarm", "program");

template <std::size_t N>
std::string LookUp(const std::array<KeywordText, N>& table, const std::string& keyword)
{
    for (const auto& entry : table) {
        if (keyword == entry.keyword) {
            return TranslateText(kTextContext, entry.text);
        }
    }
    return {};
}

enum class Frequency { Once, Everyday, Workdays, Weekend, Weekly, Monthly, Yearly, Unknown };

Frequency FrequencyOf(const std::string& keyword)
{
    static constexpr std::array<std::pair<const char*, Frequency>, 7> kKeywords{{
        {kFrequencyOnce, Frequency::Once},
        {kFrequencyEveryday, Frequency::Everyday},
        {kFrequencyWorkdays, Frequency::Workdays},
        {kFrequencyWeekend, Frequency::Weekend},
        {kFrequencyWeekly, Frequency::Weekly},
        {kFrequencyMonthly, Frequency::Monthly},
        {kFrequencyYearly, Frequency::Yearly},
    }};
    for (const auto& [name, frequency] : kKeywords) {
        if (keyword == name) {
            return frequency;
        }
    }
    return Frequency::Unknown;
}

// The alarm's base moment split into its local date (days since 1601-01-01) and time of day.
struct LocalBase {
    std::int64_t day = 0;
    FileTime timeOfDay = 0;
    int year = 0;
    int month = 0;
    int dayOfMonth = 0;
};

// Finds the first local date from `firstDay` on, accepted by `accept`, whose firing (local
// date + the alarm's time of day, converted with the rules of that instant) is not before `from`.
// Callers start at most a day or two before the answer, so a handful of steps suffice; the bound
// only protects against a calendar that runs out.
template <typename Accept>
bool FirstDayFiringFrom(std::int64_t firstDay, std::int64_t stride, FileTime timeOfDay,
                        FileTime from, Accept accept, FileTime& firing)
{
    for (int step = 0; step < 64; ++step) {
        const std::int64_t day = firstDay + step * stride;
        if (!accept(day)) {
            continue;
        }
        FileTime utc = 0;
        if (!LocalFileTimeToFileTime(day * kTicksPerDay + timeOfDay, utc)) {
            return false;
        }
        if (utc >= from) {
            firing = utc;
            return true;
        }
    }
    return false;
}

// The same for month or year steps: `monthStride` months per step from the base date, dates
// that the month lacks (31 April, 29 February outside leap years) skipped.
bool FirstMonthFiringFrom(const LocalBase& base, std::int64_t firstStep, int monthStride,
                          FileTime from, FileTime& firing)
{
    const std::int64_t baseMonthIndex = std::int64_t{base.year} * 12 + (base.month - 1);
    // 29 February is found within eight years; 31st within three months.
    for (std::int64_t step = firstStep; step < firstStep + 128; ++step) {
        const std::int64_t monthIndex = baseMonthIndex + step * monthStride;
        const auto year = static_cast<int>(monthIndex / 12);
        const auto month = static_cast<int>(monthIndex % 12) + 1;
        if (year > kMaxYear) {
            return false;
        }
        if (base.dayOfMonth > DaysInMonth(year, month)) {
            continue;
        }
        const std::int64_t day = DaysFromCivil(year, month, base.dayOfMonth);
        FileTime utc = 0;
        if (!LocalFileTimeToFileTime(day * kTicksPerDay + base.timeOfDay, utc)) {
            return false;
        }
        if (utc >= from) {
            firing = utc;
            return true;
        }
    }
    return false;
}

// Lenient integer reading of the file: leading blanks, an optional sign, the leading digits;
// the rest is ignored and no digits give 0.
long long ReadInteger(const std::string& text)
{
    std::size_t pos = 0;
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos])) != 0) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    long long value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        if (value < LLONG_MAX / 10) {
            value = value * 10 + (text[pos] - '0');
        }
        ++pos;
    }
    return negative ? -value : value;
}

// A 16-bit field of the date or time; a value that does not fit reads as `outOfRange`, which
// names no moment (0 for a date field, 0xFFFF for a time field), instead of wrapping round into
// a valid-looking one: such an alarm never fires, like one with an impossible date.
std::uint16_t ReadField(const std::string& text, std::uint16_t outOfRange)
{
    const long long value = ReadInteger(text);
    return value < 0 || value > 0xFFFF ? outOfRange : static_cast<std::uint16_t>(value);
}

constexpr std::uint16_t kBadDateField = 0;
constexpr std::uint16_t kBadTimeField = 0xFFFF;

// True when the local wall-clock time does not exist (it lies in a spring-forward gap).
bool InGap(const SystemTime& local)
{
    FileTime localFt = 0;
    FileTime utc = 0;
    FileTime back = 0;
    return SystemTimeToFileTime(local, localFt) && LocalFileTimeToFileTime(localFt, utc)
           && FileTimeToLocalFileTime(utc, back) && back != localFt;
}

// "02:30:00" for the time of day of a local time, and back.
std::string TimeOfDayText(const SystemTime& t)
{
    char text[24];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", unsigned{t.wHour}, unsigned{t.wMinute},
                  unsigned{t.wSecond});
    return text;
}

bool ParseTimeOfDay(const std::string& text, SystemTime& t)
{
    unsigned hour = 0;
    unsigned minute = 0;
    unsigned second = 0;
    char end = 0;
    if (std::sscanf(text.c_str(), "%2u:%2u:%2u%c", &hour, &minute, &second, &end) != 3 || hour > 23
        || minute > 59 || second > 59) {
        return false;
    }
    t.wHour = static_cast<std::uint16_t>(hour);
    t.wMinute = static_cast<std::uint16_t>(minute);
    t.wSecond = static_cast<std::uint16_t>(second);
    return true;
}

// A repeating alarm typed in a spring-forward gap (02:30 on the night the clocks go from 02:00
// to 03:00) is stored as the instant it maps to, which reads back as 03:30. The time the user
// typed is kept beside it, and taken back when it still maps to the stored instant: on the date
// read or a day either side (a gap can straddle midnight).
std::optional<SystemTime> TypedTimeInGap(const SystemTime& localRead, FileTime storedUtc,
                                         const std::string& typed)
{
    SystemTime candidate = localRead;
    if (typed.empty() || !ParseTimeOfDay(typed, candidate)) {
        return std::nullopt;
    }
    FileTime dateFt = 0;
    if (!SystemTimeToFileTime(candidate, dateFt)) {
        return std::nullopt;
    }
    for (const FileTime shift : {FileTime{0}, -kTicksPerDay, kTicksPerDay}) {
        SystemTime shifted;
        FileTime utc = 0;
        if (FileTimeToSystemTime(dateFt + shift, shifted) && LocalFileTimeToFileTime(dateFt + shift, utc)
            && utc == storedUtc) {
            return shifted;
        }
    }
    return std::nullopt;
}

} // namespace

std::string CAlarm::GetFrequencyText() const
{
    return LookUp(kFrequencyTexts, m_strFrequency);
}

std::string CAlarm::GetTypeText() const
{
    return LookUp(kTypeTexts, m_strType);
}

std::string CAlarm::GetActionsText() const
{
    std::string text;
    const char* separator = "";
    const auto append = [&](bool active, const char* name) {
        if (active) {
            text += separator;
            text += TranslateText(kTextContext, name);
            separator = ", ";
        }
    };
    append(m_bMessageActive, kActionMessage);
    append(m_bSoundActive, kActionSound);
    append(m_bProgramActive, kActionProgram);
    return text;
}

bool CAlarm::CanFire() const
{
    return FrequencyOf(m_strFrequency) != Frequency::Unknown
           && LocalSystemTimeToUtc(m_time).has_value();
}

int CAlarm::NextOccurrenceUtc(FileTime from, const FileTime* limit, FileTime& occurrence) const
{
    const Frequency frequency = FrequencyOf(m_strFrequency);
    if (frequency == Frequency::Unknown) {
        return -1;
    }
    FileTime baseLocal = 0;
    FileTime baseUtc = 0;
    if (!SystemTimeToFileTime(m_time, baseLocal) || !LocalFileTimeToFileTime(baseLocal, baseUtc)) {
        return -1;
    }

    LocalBase base;
    base.day = baseLocal / kTicksPerDay;
    base.timeOfDay = baseLocal % kTicksPerDay;
    base.year = m_time.wYear;
    base.month = m_time.wMonth;
    base.dayOfMonth = m_time.wDay;

    // The local date of the search moment: no firing on a date two days before it can reach it,
    // so the search starts one day before (or at the base date, whichever is later).
    FileTime fromLocal = 0;
    if (!FileTimeToLocalFileTime(std::max<FileTime>(from, 0), fromLocal)) {
        return -1;
    }
    const std::int64_t fromDay = fromLocal / kTicksPerDay;
    const std::int64_t firstDay = std::max(base.day, fromDay - 1);

    FileTime firing = baseUtc;
    bool found = true;
    switch (frequency) {
    case Frequency::Once:
        break;
    case Frequency::Everyday:
        found = FirstDayFiringFrom(firstDay, 1, base.timeOfDay, from,
                                   [](std::int64_t) { return true; }, firing);
        break;
    case Frequency::Workdays:
        found = FirstDayFiringFrom(
            firstDay, 1, base.timeOfDay, from,
            [](std::int64_t day) {
                const int dow = DayOfWeekFromDays(day);
                return dow >= 1 && dow <= 5;
            },
            firing);
        break;
    case Frequency::Weekend:
        found = FirstDayFiringFrom(
            firstDay, 1, base.timeOfDay, from,
            [](std::int64_t day) {
                const int dow = DayOfWeekFromDays(day);
                return dow == 0 || dow == 6;
            },
            firing);
        break;
    case Frequency::Weekly: {
        const std::int64_t weeks = std::max<std::int64_t>(0, (firstDay - base.day) / 7);
        found = FirstDayFiringFrom(base.day + weeks * 7, 7, base.timeOfDay, from,
                                   [](std::int64_t) { return true; }, firing);
        break;
    }
    case Frequency::Monthly:
    case Frequency::Yearly: {
        int fromYear = 0;
        int fromMonth = 0;
        int fromDayOfMonth = 0;
        CivilFromDays(fromDay, fromYear, fromMonth, fromDayOfMonth);
        const std::int64_t monthsApart = (std::int64_t{fromYear} * 12 + fromMonth)
                                         - (std::int64_t{base.year} * 12 + base.month);
        const int stride = frequency == Frequency::Monthly ? 1 : 12;
        const std::int64_t firstStep = std::max<std::int64_t>(0, monthsApart / stride - 1);
        found = FirstMonthFiringFrom(base, firstStep, stride, from, firing);
        break;
    }
    case Frequency::Unknown:
        return -1;
    }
    if (!found) {
        return -1;
    }
    occurrence = firing;
    if (limit != nullptr && firing > *limit) {
        return -1;
    }
    return firing < from ? -1 : 1;
}

int CAlarm::GetNextOccurrence(SystemTime& when, const SystemTime* limit) const
{
    FileTime from = 0;
    if (!SystemTimeToFileTime(when, from)) {
        return -1;
    }
    FileTime limitFt = 0;
    if (limit != nullptr && !SystemTimeToFileTime(*limit, limitFt)) {
        return -1;
    }
    if (!CanFire()) {
        return -1;
    }
    constexpr FileTime kNotFound = -1;
    FileTime firing = kNotFound;
    const int result = NextOccurrenceUtc(from, limit != nullptr ? &limitFt : nullptr, firing);
    if (m_strFrequency == kFrequencyOnce) {
        when = m_time;
        return result;
    }
    if (firing != kNotFound) {
        if (const auto local = UtcToLocalSystemTime(firing)) {
            when = *local;
        }
    }
    return result;
}

int CAlarm::WriteXml(CMarkup& xml) const
{
    xml.AddChildElement("Alarm");
    xml.SetChildAttribute("Active", m_bActive ? 1 : 0);
    xml.SetChildAttribute("Type", m_strType);
    xml.SetChildAttribute("Frequency", m_strFrequency);

    // Stored in UTC with the zone rules of the alarm's own instant. A moment that does not exist
    // (a hand-edited file) is written back as it was read, so that saving loses nothing.
    SystemTime utc = m_time;
    if (const auto utcFt = LocalSystemTimeToUtc(m_time)) {
        FileTimeToSystemTime(*utcFt, utc);
    }

    xml.EnterElement();
    xml.AddChildElement("Date");
    xml.EnterElement();
    xml.SetAttribute("Year", utc.wYear);
    xml.SetAttribute("Month", utc.wMonth);
    xml.SetAttribute("Day", utc.wDay);
    xml.SetAttribute("DayOfWeek", utc.wDayOfWeek);
    xml.LeaveElement();
    xml.AddChildElement("Time");
    xml.EnterElement();
    xml.SetAttribute("Hour", utc.wHour);
    xml.SetAttribute("Min", utc.wMinute);
    xml.SetAttribute("Sec", utc.wSecond);
    if (m_strFrequency != kFrequencyOnce && InGap(m_time)) {
        xml.SetAttribute("LocalTime", TimeOfDayText(m_time));
    }
    xml.LeaveElement();
    xml.AddChildElement("Comment", m_strComment);
    const auto action = [&xml](const char* name, const std::string& text, bool active) {
        xml.AddChildElement(name, text);
        xml.EnterElement();
        xml.SetAttribute("Active", active ? 1 : 0);
        xml.LeaveElement();
    };
    action("Message", m_strMessage, m_bMessageActive);
    action("Sound", m_strSound, m_bSoundActive);
    action("Program", m_strProgram, m_bProgramActive);
    xml.LeaveElement();
    return 0;
}

int CAlarm::ReadXml(CMarkup& xml)
{
    xml.EnterElement();
    m_bActive = ReadInteger(xml.GetAttribute("Active")) != 0;
    m_strType = xml.GetAttribute("Type");
    m_strFrequency = xml.GetAttribute("Frequency");

    // A child missing from a hand-edited file reads as empty and switched off; the searches go
    // on in the order the children are written.
    SystemTime read = m_time;
    read.wYear = read.wMonth = read.wDay = read.wDayOfWeek = 0;
    read.wHour = read.wMinute = read.wSecond = 0;
    if (xml.FindChildElement("Date")) {
        read.wYear = ReadField(xml.GetChildAttribute("Year"), kBadDateField);
        read.wMonth = ReadField(xml.GetChildAttribute("Month"), kBadDateField);
        read.wDay = ReadField(xml.GetChildAttribute("Day"), kBadDateField);
        read.wDayOfWeek = ReadField(xml.GetChildAttribute("DayOfWeek"), kBadDateField);
    }
    std::string typedInGap;
    if (xml.FindChildElement("Time")) {
        read.wHour = ReadField(xml.GetChildAttribute("Hour"), kBadTimeField);
        read.wMinute = ReadField(xml.GetChildAttribute("Min"), kBadTimeField);
        read.wSecond = ReadField(xml.GetChildAttribute("Sec"), kBadTimeField);
        typedInGap = xml.GetChildAttribute("LocalTime");
    }
    // Milliseconds are not stored: they keep their value (0 for a new alarm).
    FileTime utcFt = 0;
    if (SystemTimeToFileTime(read, utcFt)) {
        if (const auto local = UtcToLocalSystemTime(utcFt)) {
            read = *local;
            if (const auto typed = TypedTimeInGap(read, utcFt, typedInGap)) {
                read = *typed;
            }
        }
    }
    m_time = read;

    m_strComment = xml.FindChildElement("Comment") ? xml.GetChildText() : std::string();
    const auto action = [&xml](const char* name, std::string& text, bool& active) {
        if (xml.FindChildElement(name)) {
            text = xml.GetChildText();
            active = ReadInteger(xml.GetChildAttribute("Active")) != 0;
        } else {
            text.clear();
            active = false;
        }
    };
    action("Message", m_strMessage, m_bMessageActive);
    action("Sound", m_strSound, m_bSoundActive);
    action("Program", m_strProgram, m_bProgramActive);
    xml.LeaveElement();
    return 0;
}

} // namespace zembra
