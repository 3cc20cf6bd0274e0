#include "model/CFiringRoad.h"

#include <algorithm>

namespace zembra {

namespace {

// A program stopped for years would still find the latest occurrence of an everyday alarm in
// a few thousand steps; the bound only keeps a broken calendar from looping.
constexpr int kMostOccurrencesPerWindow = 100'000;

// The latest occurrence of the alarm within [start, end], or false when it has none there.
bool LatestOccurrenceIn(const CAlarm& alarm, FileTime start, FileTime end, FileTime& latest)
{
    FileTime occurrence = 0;
    if (alarm.NextOccurrenceUtc(start, &end, occurrence) != 1) {
        return false;
    }
    for (int step = 0; step < kMostOccurrencesPerWindow; ++step) {
        FileTime next = 0;
        if (alarm.NextOccurrenceUtc(occurrence + 1, &end, next) != 1) {
            break;
        }
        occurrence = next;
    }
    latest = occurrence;
    return true;
}

int PowerRank(const std::string& type)
{
    if (type == kTypeShutdown) {
        return 3;
    }
    if (type == kTypeHibernate) {
        return 2;
    }
    if (type == kTypeStandby) {
        return 1;
    }
    return 0;
}

} // namespace

bool IsPowerType(const std::string& type)
{
    return PowerRank(type) > 0;
}

const std::string& StrongerPowerType(const std::string& a, const std::string& b)
{
    return PowerRank(b) > PowerRank(a) ? b : a;
}

bool FiringPass::HasLate() const
{
    return std::any_of(alarms.begin(), alarms.end(), [](const DueAlarm& due) { return due.late; });
}

CFiringRoad::CFiringRoad(ClockFn clock)
    : m_clock(std::move(clock))
    , m_doneUpTo(m_clock())
{
}

FiringPass CFiringRoad::OnFireAlarm(CScheduler& schedule, std::uint64_t token)
{
    FiringPass pass;
    const FileTime now = m_clock();
    pass.atUtc = now;
    if (now <= m_doneUpTo) {
        return pass; // the clock stands still or went back a little: nothing new is due
    }
    const FileTime start = m_doneUpTo + 1;

    // The alarm the timer was armed for goes last; it may have been deleted, switched off or
    // edited since the arming, and then it is simply not among the due ones.
    CAlarm* fired = token != 0 ? schedule.FindById(token) : nullptr;
    FileTime firedAt = 0;
    if (fired != nullptr
        && !(fired->m_bActive && LatestOccurrenceIn(*fired, start, now, firedAt))) {
        fired = nullptr;
    }
    if (fired != nullptr) {
        fired->m_bHandled = true;
    }
    CatchUpMissedAlarms(schedule, start, now, pass.alarms);
    if (fired != nullptr) {
        pass.alarms.push_back(DueAlarm{*fired, firedAt, now, false, false});
    }
    schedule.ClearHandledFlags();
    m_doneUpTo = now;

    for (DueAlarm& due : pass.alarms) {
        due.alarm.m_bHandled = false;
        due.late = due.Lateness() > kOnTimeSpan;
        due.programHeldBack = due.alarm.m_bProgramActive && !due.alarm.m_strProgram.empty()
                              && (m_pApprovals == nullptr || !m_pApprovals->IsApproved(due.alarm.m_strProgram));
        if (!due.late) {
            pass.powerType = StrongerPowerType(pass.powerType, due.alarm.m_strType);
        }
    }
    return pass;
}

void CFiringRoad::CatchUpMissedAlarms(CScheduler& schedule, FileTime startUtc, FileTime nowUtc,
                                      std::vector<DueAlarm>& out) const
{
    schedule.ResetWalk();
    // Each round marks one more alarm handled and the walk skips handled alarms, so this ends
    // after at most one round per alarm.
    while (CAlarm* alarm = schedule.GetNextDueAlarmUtc(startUtc, nowUtc)) {
        FileTime occurrence = 0;
        LatestOccurrenceIn(*alarm, startUtc, nowUtc, occurrence);
        out.push_back(DueAlarm{*alarm, occurrence, nowUtc, true, false});
        schedule.ResetWalk();
        alarm->m_bHandled = true;
    }
}

CAlarm* CFiringRoad::NextAlarm(CScheduler& schedule, FileTime& firingUtc) const
{
    return schedule.GetEarliestAlarmUtc(m_doneUpTo + 1, firingUtc);
}

void CFiringRoad::OnClockSet()
{
    const FileTime now = m_clock();
    if (now + kOnTimeSpan < m_doneUpTo) {
        m_doneUpTo = now;
    }
}

} // namespace zembra
