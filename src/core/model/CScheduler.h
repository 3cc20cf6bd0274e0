#pragma once

// The alarm list: owns its alarms in list order, finds the alarm that fires first, walks the
// alarms that fall due within a window, and reads and writes the list as a .zmb file.

#include "model/CAlarm.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zembra {

class CScheduler {
public:
    // How the last LoadFromFile went; the file operations themselves keep their plain results.
    enum class LoadStatus {
        Read,         // parsed as an alarm list
        CannotOpen,   // the file could not be read (GetLastFileError says why)
        NotParsed,    // the text is not well-formed markup (GetLastFileError has the parser's text)
        NotAlarmList, // well-formed, but neither a Zembra root nor any Alarm element
    };

    CScheduler() = default;
    CScheduler(const CScheduler&) = delete;
    CScheduler& operator=(const CScheduler&) = delete;
    virtual ~CScheduler() = default;

    // Appends the alarm, which now belongs to the schedule and gets a new process-wide id.
    int AddAlarm(std::unique_ptr<CAlarm> alarm);
    // Unlinks the alarm (found by identity) and hands it back; null when it is not in the list.
    std::unique_ptr<CAlarm> RemoveAlarm(const CAlarm* alarm);

    // The switched-on, unhandled alarm that fires first from `when` (UTC on entry); on return
    // `when` holds its firing in local time and `firingUtc`, when given, the same in UTC.
    // Of alarms firing at the same moment the first in the list wins. Null when none is pending.
    CAlarm* GetEarliestAlarm(SystemTime& when, FileTime* firingUtc = nullptr);
    CAlarm* GetEarliestAlarmUtc(FileTime from, FileTime& firingUtc);

    // The walk over the alarms due within a window (both ends UTC and included).
    int ResetWalk();
    CAlarm* GetNextDueAlarm(SystemTime start, SystemTime end);
    CAlarm* GetNextDueAlarmUtc(FileTime start, FileTime end);
    int ClearHandledFlags();

    // 0 when written / read, 1 when the file could not be written / opened.
    int SaveToFile(const std::string& path);
    int LoadFromFile(const std::string& path);
    LoadStatus GetLastLoadStatus() const { return m_lastLoadStatus; }
    const std::string& GetLastFileError() const { return m_strLastFileError; }

    // The list as file text (in the file's encoding) and back; used by the file operations.
    std::string ToFileText() const;
    LoadStatus AppendFromFileText(std::string_view bytes, std::string* parseError = nullptr);

    const std::vector<std::unique_ptr<CAlarm>>& Alarms() const { return m_alarms; }
    std::size_t Count() const { return m_alarms.size(); }
    CAlarm* At(std::size_t index) const;
    // Position in list order, or -1.
    int IndexOf(const CAlarm* alarm) const;
    CAlarm* FindById(std::uint64_t id) const;

private:
    std::vector<std::unique_ptr<CAlarm>> m_alarms;
    std::size_t m_posNext = 0;
    LoadStatus m_lastLoadStatus = LoadStatus::Read;
    std::string m_strLastFileError;
};

} // namespace zembra
