#pragma once

// One entry of the alarm list: when it fires, how it repeats, what it does to the computer and
// which of its three actions (message, sound, program) are switched on.

#include "time/ZTime.h"

#include <array>
#include <cstdint>
#include <string>

class CMarkup;

namespace zembra {

// Frequency keywords, stored and compared exactly as written (case-sensitive).
inline constexpr const char* kFrequencyOnce = "once";
inline constexpr const char* kFrequencyEveryday = "everyday";
inline constexpr const char* kFrequencyWorkdays = "workdays";
inline constexpr const char* kFrequencyWeekend = "weekend";
inline constexpr const char* kFrequencyWeekly = "weekly";
inline constexpr const char* kFrequencyMonthly = "monthly";
inline constexpr const char* kFrequencyYearly = "yearly";

// Type keywords: what happens to the computer after the actions.
inline constexpr const char* kTypeWakeup = "wakeup";
inline constexpr const char* kTypeStandby = "standby";
inline constexpr const char* kTypeHibernate = "hibernate";
inline constexpr const char* kTypeShutdown = "shutdown";

// Every keyword of each kind, in the order the program offers them; what a list written by hand,
// the command line or another program may name.
inline constexpr std::array<const char*, 7> kAllFrequencies{
    kFrequencyOnce,   kFrequencyEveryday, kFrequencyWorkdays, kFrequencyWeekend,
    kFrequencyWeekly, kFrequencyMonthly,  kFrequencyYearly};
inline constexpr std::array<const char*, 4> kAllTypes{kTypeWakeup, kTypeStandby, kTypeHibernate,
                                                      kTypeShutdown};

class CAlarm {
public:
    CAlarm() = default;
    CAlarm(const CAlarm&) = default;
    CAlarm& operator=(const CAlarm&) = default;
    virtual ~CAlarm() = default;

    // Display texts in the current language; empty for an unknown keyword.
    std::string GetFrequencyText() const;
    std::string GetTypeText() const;
    // The switched-on actions in the order message, sound, program, joined by ", ".
    std::string GetActionsText() const;

    // The next firing at or after `when` (UTC on entry). On return `when` holds the firing in
    // local time: for "once" the alarm's own moment, for the repeating frequencies the
    // occurrence found. Result 1 when that firing lies at or after the entry moment and, with a
    // limit (UTC), at or before it; -1 otherwise. An alarm whose frequency is not one of the
    // seven keywords, or whose moment does not exist, never fires: -1, `when` unchanged.
    int GetNextOccurrence(SystemTime& when, const SystemTime* limit = nullptr) const;

    // The same on UTC file times: `occurrence` receives the firing found (when there is one).
    int NextOccurrenceUtc(FileTime from, const FileTime* limit, FileTime& occurrence) const;

    // True when the frequency is a known keyword and the moment exists.
    bool CanFire() const;

    // Appends the alarm as an `Alarm` child of the document's current element.
    int WriteXml(CMarkup& xml) const;
    // Fills the saved fields from the document's current child, an `Alarm` element.
    int ReadXml(CMarkup& xml);

    std::string m_strType;
    std::string m_strFrequency;
    bool m_bProgramActive = false;
    bool m_bSoundActive = false;
    bool m_bMessageActive = false;
    std::string m_strProgram;
    std::string m_strSound;
    std::string m_strMessage;
    std::string m_strComment;
    SystemTime m_time;
    bool m_bActive = false;
    // Set while the alarm is being carried out in a firing pass; never saved.
    bool m_bHandled = false;
    // Identity within the running process, given by the schedule that owns the alarm; a value
    // copy keeps it, so that it still names the original. Never saved; 0 when not in a schedule.
    std::uint64_t m_nId = 0;
};

} // namespace zembra
