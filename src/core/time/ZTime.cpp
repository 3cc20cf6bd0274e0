#include "time/ZTime.h"

#include "time/SystemZone.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>

namespace zembra {

namespace {


// Days from 0000-03-01 based civil calendar to 1970-01-01, used to rebase on 1601-01-01.
std::int64_t DaysFromCivilEpoch1970(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

const std::int64_t kDays1601To1970 = -DaysFromCivilEpoch1970(1601, 1, 1);

std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) {
        --q;
    }
    return q;
}

// Looking the offset up in the system takes a lock and a search of the zone's transitions;
// the schedule asks for it several times per alarm, so offsets are cached per day. A day is
// trusted only when the offsets at both of its ends agree, so on the day of a change (at
// whatever second it happens) every instant is asked for directly.
constexpr std::int64_t kBucketSeconds = 86'400;
constexpr std::size_t kCacheSize = 4096;

std::atomic<unsigned> g_zoneGeneration{1};

struct OffsetCacheEntry {
    std::int64_t bucket = 0;
    unsigned generation = 0;
    bool uniform = false;
    long offset = 0;
};

long CachedOffsetSeconds(std::int64_t unixSeconds)
{
    thread_local std::array<OffsetCacheEntry, kCacheSize> cache{};
    const std::int64_t bucket = FloorDiv(unixSeconds, kBucketSeconds);
    auto& entry = cache[static_cast<std::size_t>(bucket) % kCacheSize];
    const unsigned generation = g_zoneGeneration.load(std::memory_order_relaxed);
    if (entry.generation != generation || entry.bucket != bucket) {
        const long atStart = detail::SystemUtcOffsetSeconds(bucket * kBucketSeconds);
        const long atEnd =
            detail::SystemUtcOffsetSeconds(bucket * kBucketSeconds + kBucketSeconds - 1);
        entry = OffsetCacheEntry{bucket, generation, atStart == atEnd, atStart};
    }
    return entry.uniform ? entry.offset : detail::SystemUtcOffsetSeconds(unixSeconds);
}

std::int64_t UnixSecondsOf(FileTime ft)
{
    return FloorDiv(ft - kUnixEpochTicks, kTicksPerSecond);
}

// Largest representable moment: 30827-12-31 23:59:59.9999999.
const FileTime kMaxFileTime =
    (DaysFromCivilEpoch1970(30828, 1, 1) + kDays1601To1970) * kTicksPerDay - 1;

} // namespace

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    return month == 2 && IsLeapYear(year) ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

std::int64_t DaysFromCivil(int year, int month, int day)
{
    return DaysFromCivilEpoch1970(year, static_cast<unsigned>(month), static_cast<unsigned>(day))
           + kDays1601To1970;
}

void CivilFromDays(std::int64_t days, int& year, int& month, int& day)
{
    const std::int64_t z = days - kDays1601To1970 + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2 ? 1 : 0));
}

int DayOfWeekFromDays(std::int64_t days)
{
    // 1601-01-01 was a Monday.
    return static_cast<int>((days % 7 + 7 + 1) % 7);
}

bool SystemTimeToFileTime(const SystemTime& st, FileTime& out)
{
    if (st.wYear < kMinYear || st.wYear > kMaxYear || st.wMonth < 1 || st.wMonth > 12
        || st.wDay < 1 || st.wDay > DaysInMonth(st.wYear, st.wMonth) || st.wHour > 23
        || st.wMinute > 59 || st.wSecond > 59 || st.wMilliseconds > 999) {
        return false;
    }
    const std::int64_t days = DaysFromCivil(st.wYear, st.wMonth, st.wDay);
    out = days * kTicksPerDay + st.wHour * kTicksPerHour + st.wMinute * kTicksPerMinute
          + st.wSecond * kTicksPerSecond + st.wMilliseconds * kTicksPerMillisecond;
    return true;
}

bool FileTimeToSystemTime(FileTime ft, SystemTime& out)
{
    if (ft < 0 || ft > kMaxFileTime) {
        return false;
    }
    const std::int64_t days = ft / kTicksPerDay;
    FileTime rest = ft % kTicksPerDay;
    int year = 0;
    int month = 0;
    int day = 0;
    CivilFromDays(days, year, month, day);
    SystemTime st;
    st.wYear = static_cast<std::uint16_t>(year);
    st.wMonth = static_cast<std::uint16_t>(month);
    st.wDay = static_cast<std::uint16_t>(day);
    st.wDayOfWeek = static_cast<std::uint16_t>(DayOfWeekFromDays(days));
    st.wHour = static_cast<std::uint16_t>(rest / kTicksPerHour);
    rest %= kTicksPerHour;
    st.wMinute = static_cast<std::uint16_t>(rest / kTicksPerMinute);
    rest %= kTicksPerMinute;
    st.wSecond = static_cast<std::uint16_t>(rest / kTicksPerSecond);
    rest %= kTicksPerSecond;
    st.wMilliseconds = static_cast<std::uint16_t>(rest / kTicksPerMillisecond);
    out = st;
    return true;
}

FileTime GetSystemTimeAsFileTime()
{
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    const auto ticks = std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count() / 100;
    return kUnixEpochTicks + ticks;
}

SystemTime GetSystemTime()
{
    SystemTime st;
    FileTimeToSystemTime(GetSystemTimeAsFileTime(), st);
    return st;
}

long UtcOffsetSecondsAt(FileTime utc)
{
    return CachedOffsetSeconds(UnixSecondsOf(utc));
}

bool FileTimeToLocalFileTime(FileTime utc, FileTime& local)
{
    if (utc < 0 || utc > kMaxFileTime) {
        return false;
    }
    local = utc + UtcOffsetSecondsAt(utc) * kTicksPerSecond;
    return true;
}

bool LocalFileTimeToFileTime(FileTime local, FileTime& utc)
{
    if (local < 0 || local > kMaxFileTime) {
        return false;
    }
    // The offsets in force a day before and a day after the wall-clock time (read as if it were
    // UTC) bracket any transition near it; a candidate offset is right when the UTC instant it
    // gives has that very offset.
    const long before = UtcOffsetSecondsAt(local - kTicksPerDay);
    const long after = UtcOffsetSecondsAt(local + kTicksPerDay);
    const auto fits = [&](long offset) {
        return UtcOffsetSecondsAt(local - offset * kTicksPerSecond) == offset;
    };
    const bool beforeFits = fits(before);
    const bool afterFits = before != after && fits(after);
    long offset = before;
    if (beforeFits && afterFits) {
        // Occurs twice: the first occurrence is the earlier UTC instant, the larger offset.
        offset = before > after ? before : after;
    } else if (afterFits) {
        offset = after;
    } else if (!beforeFits) {
        // In a gap: keep the offset before it, which moves the time forward by the gap's size.
        // Should the zone have changed twice within a day, settle on whatever the instant says.
        const long direct = UtcOffsetSecondsAt(local - before * kTicksPerSecond);
        offset = (before < after || direct == before) ? before : direct;
    }
    const FileTime result = local - offset * kTicksPerSecond;
    if (result < 0 || result > kMaxFileTime) {
        return false;
    }
    utc = result;
    return true;
}

void ReloadTimeZone()
{
    detail::SystemReloadTimeZone();
    g_zoneGeneration.fetch_add(1, std::memory_order_relaxed);
}

std::optional<FileTime> LocalSystemTimeToUtc(const SystemTime& local)
{
    FileTime localFt = 0;
    FileTime utc = 0;
    if (!SystemTimeToFileTime(local, localFt) || !LocalFileTimeToFileTime(localFt, utc)) {
        return std::nullopt;
    }
    return utc;
}

std::optional<SystemTime> UtcToLocalSystemTime(FileTime utc)
{
    FileTime local = 0;
    SystemTime st;
    if (!FileTimeToLocalFileTime(utc, local) || !FileTimeToSystemTime(local, st)) {
        return std::nullopt;
    }
    return st;
}

std::string FormatIso(const SystemTime& st, bool utcSuffix)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04u-%02u-%02uT%02u:%02u:%02u.%03u%s",
                  unsigned{st.wYear}, unsigned{st.wMonth}, unsigned{st.wDay}, unsigned{st.wHour},
                  unsigned{st.wMinute}, unsigned{st.wSecond}, unsigned{st.wMilliseconds},
                  utcSuffix ? "Z" : "");
    return buffer;
}

std::optional<ParsedTime> ParseIso(const std::string& text)
{
    std::size_t pos = 0;
    const auto number = [&](std::size_t digits, unsigned& value) {
        if (pos + digits > text.size()) {
            return false;
        }
        value = 0;
        for (std::size_t i = 0; i < digits; ++i) {
            const char c = text[pos + i];
            if (c < '0' || c > '9') {
                return false;
            }
            value = value * 10 + static_cast<unsigned>(c - '0');
        }
        pos += digits;
        return true;
    };
    const auto literal = [&](char c) {
        if (pos < text.size() && text[pos] == c) {
            ++pos;
            return true;
        }
        return false;
    };

    unsigned year = 0;
    unsigned month = 0;
    unsigned day = 0;
    unsigned hour = 0;
    unsigned minute = 0;
    unsigned second = 0;
    unsigned millis = 0;
    if (!number(4, year) || !literal('-') || !number(2, month) || !literal('-') || !number(2, day)
        || !literal('T') || !number(2, hour) || !literal(':') || !number(2, minute)) {
        return std::nullopt;
    }
    if (literal(':')) {
        if (!number(2, second)) {
            return std::nullopt;
        }
        if (literal('.') && !number(3, millis)) {
            return std::nullopt;
        }
    }
    ParsedTime parsed;
    parsed.utc = literal('Z');
    if (pos != text.size()) {
        return std::nullopt;
    }
    SystemTime& st = parsed.time;
    st.wYear = static_cast<std::uint16_t>(year);
    st.wMonth = static_cast<std::uint16_t>(month);
    st.wDay = static_cast<std::uint16_t>(day);
    st.wHour = static_cast<std::uint16_t>(hour);
    st.wMinute = static_cast<std::uint16_t>(minute);
    st.wSecond = static_cast<std::uint16_t>(second);
    st.wMilliseconds = static_cast<std::uint16_t>(millis);
    FileTime ft = 0;
    if (!SystemTimeToFileTime(st, ft)) {
        return std::nullopt;
    }
    FileTimeToSystemTime(ft, st); // fills in the day of week
    return parsed;
}

} // namespace zembra
