#pragma once

// What happens when the wake timer comes due, without any user interface: the alarm the timer
// was armed for is marked handled, the timer is re-armed, every other alarm that fell due between
// the armed moment and now is collected (several alarms at the same second, or alarms passed
// while the computer slept), the marks are cleared, and the timer is armed once more so that the
// fired alarm's own next occurrence counts. What must be carried out comes back as value copies,
// the caught-up alarms first, then the fired one, so that nothing holds pointers into a list
// the user may change or replace.

#include "model/CScheduler.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace zembra {

struct DueAlarm {
    CAlarm alarm;          // a copy, taken when the alarm came due
    FileTime firingUtc = 0; // the occurrence that made it due
    // True for an alarm collected by the catch-up: its actions run, but it never changes the
    // power state of the computer.
    bool caughtUp = false;
};

class CFiringRoad {
public:
    // Re-arms the timer for the earliest pending alarm at or after `notBefore`.
    using UpdateTimerFn = std::function<void(FileTime notBefore)>;
    using ClockFn = std::function<FileTime()>;

    CFiringRoad(UpdateTimerFn updateTimer, ClockFn clock);

    // `token` is the id of the alarm the timer was armed for (CAlarm::m_nId), `armedForUtc` the
    // moment it was armed for. A token that names no alarm of the schedule any more (deleted,
    // or the list replaced since arming), or an alarm that is not due at that moment any more
    // (edited since), is recognised as stale: only the catch-up runs.
    std::vector<DueAlarm> OnFireAlarm(CScheduler& schedule, std::uint64_t token, FileTime armedForUtc);

    // Collects the unhandled alarms due from `startUtc` to now, in schedule order, marking each
    // handled; returns the moment the window ended.
    FileTime CatchUpMissedAlarms(CScheduler& schedule, FileTime startUtc, std::vector<DueAlarm>& out);

private:
    UpdateTimerFn m_updateTimer;
    ClockFn m_clock;
};

} // namespace zembra
