#pragma once

// The one road by which alarms are carried out, in the desktop program and in `zembractl run`
// alike, without any user interface.
//
// The road remembers the moment up to which every occurrence has been carried out. Each pass
// (the timer came due, the clock or the zone was set, the machine resumed, the list is about to
// change) carries out what fell due between that moment and now, whatever the timer did; and
// the timer is always armed for the earliest occurrence after that moment, even when it lies in
// the past. So a re-arming that races an expiry can neither lose an alarm (it is armed for again
// and comes due at once) nor ring one twice (it lies behind the moment once carried out).
//
// Lateness, not the timer, decides the power action: an occurrence carried out within two
// minutes of its moment is on time (this covers a machine the timer itself woke); a later one
// runs its message, sound and program but never changes the power state. The on-time power
// alarms of one pass make one request after every other action, the strongest of them.
//
// What must be carried out comes back as value copies, the caught-up alarms first, then the one
// the timer was armed for, so that nothing holds pointers into a list the user may change.
//
// Besides the list's own occurrences the road keeps the user's changes to single occurrences,
// which never touch the list or its file: a ringing alarm snoozed (it rings again later with its
// message and sound only), and an occurrence postponed or skipped from the power countdown.

#include "model/CScheduler.h"
#include "model/IProgramApprovals.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zembra {

struct DueAlarm {
    CAlarm alarm;               // a copy, taken when the alarm came due
    FileTime firingUtc = 0;     // the occurrence carried out (the latest one, after a long sleep)
    FileTime carriedOutUtc = 0; // when the pass ran
    // Not the alarm the timer was armed for: another one due at the same moment, or one passed
    // while the machine slept or the program could not run. Carried out first.
    bool caughtUp = false;
    // Carried out more than two minutes after its moment: no power request.
    bool late = false;
    // Its program action is switched on but its command line is not approved: the program is
    // not started, and the user is told.
    bool programHeldBack = false;
    // A snoozed alarm ringing again: its message and sound only, never its program, the display
    // or a power request. A late one is not rung at all, only reported.
    bool snoozed = false;
    // An occurrence the user postponed: it runs whole, at its new moment.
    bool postponed = false;

    FileTime Lateness() const { return carriedOutUtc - firingUtc; }
    // Whole minutes late, for the reports.
    long long LateMinutes() const { return Lateness() / kTicksPerMinute; }
};

struct FiringPass {
    std::vector<DueAlarm> alarms;
    // The one power request to make after every action ("standby", "hibernate", "shutdown"), or
    // empty: the strongest type of the on-time alarms.
    std::string powerType;
    FileTime atUtc = 0;

    bool IsEmpty() const { return alarms.empty(); }
    bool HasLate() const;
};

// One occurrence ahead: of an alarm of the list (at its own moment or where the user moved it),
// or of a snooze. `alarm` points into the list or, for a snooze, into the road; it stays valid
// until the list or the road next changes.
struct Occurrence {
    const CAlarm* alarm = nullptr;
    FileTime atUtc = 0;
    // The moment it had in the list (equal to atUtc unless postponed); with the alarm's id it
    // names the occurrence for Postpone and Skip.
    FileTime originalUtc = 0;
    bool snoozed = false;
};

// An occurrence ahead as a value copy, for whoever keeps it across changes of the list.
struct PlannedOccurrence {
    CAlarm alarm;
    FileTime atUtc = 0;
    FileTime originalUtc = 0;
};

class CFiringRoad {
public:
    // An occurrence carried out at most this long after its moment is on time.
    static constexpr FileTime kOnTimeSpan = 2 * kTicksPerMinute;

    using ClockFn = std::function<FileTime()>;

    // Everything up to the clock's present moment counts as carried out: a list opened or a
    // program started does not ring what is already past.
    explicit CFiringRoad(ClockFn clock);

    FileTime DoneUpTo() const { return m_doneUpTo; }
    // Where the approved command lines are looked up; without it every program is held back.
    void SetProgramApprovals(const IProgramApprovals* approvals) { m_pApprovals = approvals; }

    // A pass: carries out every occurrence due after DoneUpTo() and up to now, then moves
    // DoneUpTo() to now. `token` is the id (CAlarm::m_nId) of the alarm the timer was armed
    // for, which goes last; 0 (or a token naming no due alarm) leaves the list order alone.
    FiringPass OnFireAlarm(CScheduler& schedule, std::uint64_t token = 0);

    // Collects the unhandled alarms due within [startUtc, nowUtc], in list order, marking each
    // handled; each with the latest of its occurrences in that window.
    void CatchUpMissedAlarms(CScheduler& schedule, FileTime startUtc, FileTime nowUtc,
                             std::vector<DueAlarm>& out) const;

    // Where the timer must be armed: the earliest occurrence after DoneUpTo() (in the past when
    // a pass is due), or null when no alarm is pending. Snoozes and postponed occurrences count.
    const CAlarm* NextAlarm(CScheduler& schedule, FileTime& firingUtc) const;
    std::optional<Occurrence> NextOccurrence(CScheduler& schedule) const;
    // Every occurrence after DoneUpTo() and up to `untilUtc`, earliest first.
    std::vector<Occurrence> OccurrencesUntil(CScheduler& schedule, FileTime untilUtc) const;

    // ---- changes to single occurrences ----
    // The alarm (a copy) rings again at `atUtc`, with its message and sound only.
    void Snooze(const CAlarm& alarm, FileTime atUtc);
    // The user silenced the alarms: no snooze rings any more.
    void CancelSnoozes();
    bool HasSnoozes() const { return !m_snoozes.empty(); }
    // The occurrence of alarm `id` now due at `atUtc` (its list moment, or where an earlier
    // postponement put it) moves to `newUtc`, or is not carried out at all. False when no such
    // occurrence is ahead.
    bool Postpone(CScheduler& schedule, std::uint64_t id, FileTime atUtc, FileTime newUtc);
    bool Skip(CScheduler& schedule, std::uint64_t id, FileTime atUtc);
    // The same occurrence carried out now, whole and on time: the pass for it (empty when it is
    // no longer ahead). Run a pass first, so that what is already due goes before it.
    FiringPass CarryOutNow(CScheduler& schedule, std::uint64_t id, FileTime atUtc);
    // The alarm was edited or deleted: its postponed and skipped occurrences are forgotten.
    void ForgetAdjustments(std::uint64_t id);

    // The system clock was set. Set back by more than the on-time span, the road follows it,
    // so that alarms ring at their wall-clock times again; a small correction is ignored, or
    // the alarm just carried out would ring a second time.
    void OnClockSet();

private:
    // An occurrence of the list moved elsewhere (or nowhere: skipped).
    struct Adjustment {
        std::uint64_t alarmId = 0;
        FileTime originalUtc = 0;
        std::optional<FileTime> movedToUtc;
    };
    struct SnoozeEntry {
        std::unique_ptr<CAlarm> alarm; // owned, so that Occurrence pointers stay put
        FileTime atUtc = 0;
    };

    bool IsAdjusted(std::uint64_t id, FileTime originalUtc) const;
    // Lateness, held-back programs and the one power request of a pass's alarms.
    void Finish(FiringPass& pass) const;
    // The latest occurrence of the alarm within [start, end] that the user did not move away.
    bool LatestLiveOccurrenceIn(const CAlarm& alarm, FileTime start, FileTime end, FileTime& latest) const;
    // The first occurrence after `from` that the user did not move away.
    bool FirstLiveOccurrenceFrom(const CAlarm& alarm, FileTime from, FileTime& first) const;
    bool AdjustOccurrence(CScheduler& schedule, std::uint64_t id, FileTime atUtc,
                          std::optional<FileTime> newUtc);

    ClockFn m_clock;
    FileTime m_doneUpTo = 0;
    const IProgramApprovals* m_pApprovals = nullptr;
    std::vector<Adjustment> m_adjustments;
    std::vector<SnoozeEntry> m_snoozes;
};

// How long before a standby, hibernate or shut-down occurrence its countdown begins.
inline constexpr FileTime kPowerCountdownSpan = 5 * kTicksPerMinute;

// The power request of the stronger type: shutdown over hibernate over standby.
const std::string& StrongerPowerType(const std::string& a, const std::string& b);
bool IsPowerType(const std::string& type);

} // namespace zembra
