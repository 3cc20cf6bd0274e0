#include "model/CScheduler.h"

#include "markup/CMarkup.h"
#include "model/AtomicFile.h"
#include "model/Cp1250.h"

#include <algorithm>
#include <atomic>
#include <cctype>

namespace zembra {

namespace {

constexpr std::string_view kDeclarationCp1250 = R"(<?xml version="1.0" encoding="windows-1250"?>)";
constexpr std::string_view kDeclarationUtf8 = R"(<?xml version="1.0" encoding="UTF-8"?>)";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::atomic<std::uint64_t> g_nextAlarmId{1};

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
           && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                  return std::tolower(static_cast<unsigned char>(x))
                         == std::tolower(static_cast<unsigned char>(y));
              });
}

// True when the text's XML declaration names UTF-8. Files without a declaration, and those
// that name windows-1250 or anything else, are read as windows-1250.
bool DeclaresUtf8(std::string_view text)
{
    std::size_t pos = 0;
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos])) != 0) {
        ++pos;
    }
    if (text.substr(pos, 5) != "<?xml") {
        return false;
    }
    const std::size_t end = text.find("?>", pos);
    const std::string_view declaration =
        text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
    std::size_t at = declaration.find("encoding");
    if (at == std::string_view::npos) {
        return false;
    }
    at += 8;
    while (at < declaration.size()
           && (declaration[at] == '=' || std::isspace(static_cast<unsigned char>(declaration[at])) != 0)) {
        ++at;
    }
    if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\'')) {
        return false;
    }
    const char quote = declaration[at++];
    const std::size_t close = declaration.find(quote, at);
    if (close == std::string_view::npos) {
        return false;
    }
    const std::string_view name = declaration.substr(at, close - at);
    return EqualsIgnoringCase(name, "UTF-8") || EqualsIgnoringCase(name, "UTF8");
}

} // namespace

int CScheduler::AddAlarm(std::unique_ptr<CAlarm> alarm)
{
    if (alarm) {
        alarm->m_nId = g_nextAlarmId.fetch_add(1, std::memory_order_relaxed);
        m_alarms.push_back(std::move(alarm));
    }
    return 0;
}

std::unique_ptr<CAlarm> CScheduler::RemoveAlarm(const CAlarm* alarm)
{
    const auto it = std::find_if(m_alarms.begin(), m_alarms.end(),
                                 [alarm](const auto& owned) { return owned.get() == alarm; });
    if (it == m_alarms.end()) {
        return nullptr;
    }
    std::unique_ptr<CAlarm> removed = std::move(*it);
    const auto index = static_cast<std::size_t>(it - m_alarms.begin());
    m_alarms.erase(it);
    if (m_posNext > index) {
        --m_posNext;
    }
    return removed;
}

CAlarm* CScheduler::GetEarliestAlarmUtc(FileTime from, FileTime& firingUtc)
{
    CAlarm* best = nullptr;
    FileTime bestFiring = 0;
    for (const auto& alarm : m_alarms) {
        if (!alarm->m_bActive || alarm->m_bHandled) {
            continue;
        }
        FileTime firing = 0;
        if (alarm->NextOccurrenceUtc(from, nullptr, firing) != 1) {
            continue;
        }
        // Strictly earlier only: of equal firings the first in the list stays the best.
        if (best == nullptr || firing < bestFiring) {
            best = alarm.get();
            bestFiring = firing;
        }
    }
    if (best != nullptr) {
        firingUtc = bestFiring;
    }
    return best;
}

CAlarm* CScheduler::GetEarliestAlarm(SystemTime& when, FileTime* firingUtc)
{
    FileTime from = 0;
    if (!SystemTimeToFileTime(when, from)) {
        return nullptr;
    }
    FileTime firing = 0;
    CAlarm* best = GetEarliestAlarmUtc(from, firing);
    if (best == nullptr) {
        return nullptr;
    }
    if (best->m_strFrequency == kFrequencyOnce) {
        when = best->m_time;
    } else if (const auto local = UtcToLocalSystemTime(firing)) {
        when = *local;
    }
    if (firingUtc != nullptr) {
        *firingUtc = firing;
    }
    return best;
}

int CScheduler::ResetWalk()
{
    m_posNext = 0;
    return 0;
}

CAlarm* CScheduler::GetNextDueAlarmUtc(FileTime start, FileTime end)
{
    while (m_posNext < m_alarms.size()) {
        CAlarm* alarm = m_alarms[m_posNext++].get();
        if (!alarm->m_bActive || alarm->m_bHandled) {
            continue;
        }
        FileTime firing = 0;
        if (alarm->NextOccurrenceUtc(start, &end, firing) == 1) {
            return alarm;
        }
    }
    return nullptr;
}

CAlarm* CScheduler::GetNextDueAlarm(SystemTime start, SystemTime end)
{
    FileTime startFt = 0;
    FileTime endFt = 0;
    if (!SystemTimeToFileTime(start, startFt) || !SystemTimeToFileTime(end, endFt)) {
        m_posNext = m_alarms.size();
        return nullptr;
    }
    return GetNextDueAlarmUtc(startFt, endFt);
}

int CScheduler::ClearHandledFlags()
{
    for (const auto& alarm : m_alarms) {
        alarm->m_bHandled = false;
    }
    return 0;
}

CAlarm* CScheduler::At(std::size_t index) const
{
    return index < m_alarms.size() ? m_alarms[index].get() : nullptr;
}

int CScheduler::IndexOf(const CAlarm* alarm) const
{
    for (std::size_t i = 0; i < m_alarms.size(); ++i) {
        if (m_alarms[i].get() == alarm) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

CAlarm* CScheduler::FindById(std::uint64_t id) const
{
    if (id == 0) {
        return nullptr;
    }
    for (const auto& alarm : m_alarms) {
        if (alarm->m_nId == id) {
            return alarm.get();
        }
    }
    return nullptr;
}

std::string CScheduler::ToFileText() const
{
    CMarkup xml(std::string(kDeclarationCp1250) + "\r\n");
    xml.AddElement("Zembra");
    xml.SetAttribute("Version", "1");
    for (const auto& alarm : m_alarms) {
        alarm->WriteXml(xml);
    }
    std::string text = xml.GetDocument();
    if (FitsCp1250(text)) {
        return Utf8ToCp1250(text);
    }
    // Something typed has no windows-1250 byte: keep it by writing the whole list in UTF-8.
    text.replace(0, kDeclarationCp1250.size(), kDeclarationUtf8);
    return SanitizeUtf8(text);
}

CScheduler::LoadStatus CScheduler::AppendFromFileText(std::string_view bytes, std::string* parseError)
{
    // The text ends at the first zero byte, as it always has.
    if (const std::size_t nul = bytes.find('\0'); nul != std::string_view::npos) {
        bytes = bytes.substr(0, nul);
    }
    std::string text;
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        text = SanitizeUtf8(bytes.substr(kUtf8Bom.size()));
    } else if (DeclaresUtf8(bytes)) {
        text = SanitizeUtf8(bytes);
    } else {
        text = Cp1250ToUtf8(bytes);
    }

    CMarkup xml;
    if (!xml.SetDocument(text)) {
        if (parseError != nullptr) {
            if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
                *parseError = "the file is empty";
            } else if (xml.GetLastError().empty()) {
                *parseError = "no element found";
            } else {
                *parseError = xml.GetLastError();
            }
        }
        return LoadStatus::NotParsed;
    }
    std::size_t added = 0;
    while (xml.FindChildElement("Alarm")) {
        auto alarm = std::make_unique<CAlarm>();
        alarm->ReadXml(xml);
        AddAlarm(std::move(alarm));
        ++added;
    }
    if (added == 0) {
        CMarkup probe(text);
        if (!probe.FindElement("Zembra")) {
            if (parseError != nullptr) {
                *parseError = "the root element is not Zembra and holds no Alarm elements";
            }
            return LoadStatus::NotAlarmList;
        }
    }
    return LoadStatus::Read;
}

int CScheduler::SaveToFile(const std::string& path)
{
    m_strLastFileError.clear();
    if (!WriteFileAtomically(path, ToFileText(), m_strLastFileError)) {
        return 1;
    }
    return 0;
}

int CScheduler::LoadFromFile(const std::string& path)
{
    m_strLastFileError.clear();
    std::string bytes;
    if (!ReadWholeFile(path, bytes, m_strLastFileError)) {
        m_lastLoadStatus = LoadStatus::CannotOpen;
        return 1;
    }
    m_lastLoadStatus = AppendFromFileText(bytes, &m_strLastFileError);
    return 0;
}

} // namespace zembra
