#include "model/CFiringRoad.h"

namespace zembra {

CFiringRoad::CFiringRoad(UpdateTimerFn updateTimer, ClockFn clock)
    : m_updateTimer(std::move(updateTimer))
    , m_clock(std::move(clock))
{
}

std::vector<DueAlarm> CFiringRoad::OnFireAlarm(CScheduler& schedule, std::uint64_t token,
                                               FileTime armedForUtc)
{
    const FileTime now = m_clock();
    CAlarm* fired = schedule.FindById(token);
    if (fired != nullptr) {
        FileTime occurrence = 0;
        const bool dueNow = fired->m_bActive
                            && fired->NextOccurrenceUtc(armedForUtc, &now, occurrence) == 1
                            && occurrence == armedForUtc;
        if (!dueNow) {
            fired = nullptr;
        }
    }

    if (fired != nullptr) {
        fired->m_bHandled = true;
    }
    m_updateTimer(now);

    std::vector<DueAlarm> toCarryOut;
    const FileTime windowEnd = CatchUpMissedAlarms(schedule, armedForUtc, toCarryOut);
    if (fired != nullptr) {
        toCarryOut.push_back(DueAlarm{*fired, armedForUtc, false});
    }
    schedule.ClearHandledFlags();
    // Everything due up to the end of the window has been collected: arm for what comes after,
    // the fired alarm's own next occurrence included.
    m_updateTimer(windowEnd + 1);
    return toCarryOut;
}

FileTime CFiringRoad::CatchUpMissedAlarms(CScheduler& schedule, FileTime startUtc,
                                          std::vector<DueAlarm>& out)
{
    schedule.ResetWalk();
    FileTime now = m_clock();
    // Each round marks one more alarm handled and the walk skips handled alarms, so this ends
    // after at most one round per alarm.
    while (CAlarm* alarm = schedule.GetNextDueAlarmUtc(startUtc, now)) {
        FileTime occurrence = 0;
        alarm->NextOccurrenceUtc(startUtc, &now, occurrence);
        out.push_back(DueAlarm{*alarm, occurrence, true});
        schedule.ResetWalk();
        alarm->m_bHandled = true;
        now = m_clock();
    }
    return now;
}

} // namespace zembra
