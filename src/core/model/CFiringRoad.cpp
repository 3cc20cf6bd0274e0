#include "model/CFiringRoad.h"

#include <algorithm>
#include <iterator>

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
        && !(fired->m_bActive && LatestLiveOccurrenceIn(*fired, start, now, firedAt))) {
        fired = nullptr;
    }
    if (fired != nullptr) {
        fired->m_bHandled = true;
    }
    CatchUpMissedAlarms(schedule, start, now, pass.alarms);

    // Occurrences the user moved here, then snoozes, each in its own time order.
    std::vector<DueAlarm> extra;
    for (const Adjustment& adjustment : m_adjustments) {
        if (!adjustment.movedToUtc || *adjustment.movedToUtc < start || *adjustment.movedToUtc > now) {
            continue;
        }
        // Switched off or deleted since: the user no longer wants it.
        if (const CAlarm* alarm = schedule.FindById(adjustment.alarmId); alarm && alarm->m_bActive) {
            DueAlarm due{*alarm, *adjustment.movedToUtc, now, true, false};
            due.postponed = true;
            extra.push_back(std::move(due));
        }
    }
    for (const SnoozeEntry& snooze : m_snoozes) {
        if (snooze.atUtc >= start && snooze.atUtc <= now) {
            DueAlarm due{*snooze.alarm, snooze.atUtc, now, true, false};
            due.snoozed = true;
            extra.push_back(std::move(due));
        }
    }
    std::stable_sort(extra.begin(), extra.end(), [](const DueAlarm& a, const DueAlarm& b) {
        return a.firingUtc < b.firingUtc;
    });
    std::move(extra.begin(), extra.end(), std::back_inserter(pass.alarms));

    if (fired != nullptr) {
        pass.alarms.push_back(DueAlarm{*fired, firedAt, now, false, false});
    }
    schedule.ClearHandledFlags();
    m_doneUpTo = now;

    // What lies behind now is done with: moved occurrences that rang, skipped ones passed.
    std::erase_if(m_adjustments, [now](const Adjustment& adjustment) {
        return adjustment.originalUtc <= now && adjustment.movedToUtc.value_or(0) <= now;
    });
    std::erase_if(m_snoozes, [now](const SnoozeEntry& snooze) { return snooze.atUtc <= now; });

    Finish(pass);
    return pass;
}

void CFiringRoad::Finish(FiringPass& pass) const
{
    for (DueAlarm& due : pass.alarms) {
        due.alarm.m_bHandled = false;
        due.late = due.Lateness() > kOnTimeSpan;
        due.programHeldBack = !due.snoozed && due.alarm.m_bProgramActive && !due.alarm.m_strProgram.empty()
                              && (m_pApprovals == nullptr || !m_pApprovals->IsApproved(due.alarm.m_strProgram));
        if (!due.late && !due.snoozed) {
            pass.powerType = StrongerPowerType(pass.powerType, due.alarm.m_strType);
        }
    }
}

void CFiringRoad::CatchUpMissedAlarms(CScheduler& schedule, FileTime startUtc, FileTime nowUtc,
                                      std::vector<DueAlarm>& out) const
{
    schedule.ResetWalk();
    // Each round marks one more alarm handled and the walk skips handled alarms, so this ends
    // after at most one round per alarm.
    while (CAlarm* alarm = schedule.GetNextDueAlarmUtc(startUtc, nowUtc)) {
        FileTime occurrence = 0;
        // Due only by occurrences the user postponed or skipped: nothing to carry out here.
        if (LatestLiveOccurrenceIn(*alarm, startUtc, nowUtc, occurrence)) {
            out.push_back(DueAlarm{*alarm, occurrence, nowUtc, true, false});
        }
        schedule.ResetWalk();
        alarm->m_bHandled = true;
    }
}

bool CFiringRoad::IsAdjusted(std::uint64_t id, FileTime originalUtc) const
{
    return std::any_of(m_adjustments.begin(), m_adjustments.end(), [&](const Adjustment& adjustment) {
        return adjustment.alarmId == id && adjustment.originalUtc == originalUtc;
    });
}

bool CFiringRoad::LatestLiveOccurrenceIn(const CAlarm& alarm, FileTime start, FileTime end,
                                         FileTime& latest) const
{
    if (m_adjustments.empty()) {
        return LatestOccurrenceIn(alarm, start, end, latest);
    }
    bool found = false;
    FileTime occurrence = 0;
    FileTime from = start;
    for (int step = 0; step < kMostOccurrencesPerWindow; ++step) {
        if (alarm.NextOccurrenceUtc(from, &end, occurrence) != 1) {
            break;
        }
        if (!IsAdjusted(alarm.m_nId, occurrence)) {
            latest = occurrence;
            found = true;
        }
        from = occurrence + 1;
    }
    return found;
}

bool CFiringRoad::FirstLiveOccurrenceFrom(const CAlarm& alarm, FileTime from, FileTime& first) const
{
    // Only as many steps as there are adjustments can be skipped over.
    for (std::size_t step = 0; step <= m_adjustments.size(); ++step) {
        if (alarm.NextOccurrenceUtc(from, nullptr, first) != 1) {
            return false;
        }
        if (!IsAdjusted(alarm.m_nId, first)) {
            return true;
        }
        from = first + 1;
    }
    return false;
}

std::vector<Occurrence> CFiringRoad::OccurrencesUntil(CScheduler& schedule, FileTime untilUtc) const
{
    std::vector<Occurrence> out;
    const FileTime from = m_doneUpTo + 1;
    for (const auto& alarm : schedule.Alarms()) {
        if (!alarm->m_bActive || alarm->m_bHandled) {
            continue;
        }
        FileTime at = from;
        while (FirstLiveOccurrenceFrom(*alarm, at, at) && at <= untilUtc) {
            out.push_back(Occurrence{alarm.get(), at, at, false});
            ++at;
        }
    }
    for (const Adjustment& adjustment : m_adjustments) {
        const CAlarm* alarm = schedule.FindById(adjustment.alarmId);
        if (adjustment.movedToUtc && *adjustment.movedToUtc >= from && *adjustment.movedToUtc <= untilUtc
            && alarm != nullptr && alarm->m_bActive) {
            out.push_back(Occurrence{alarm, *adjustment.movedToUtc, adjustment.originalUtc, false});
        }
    }
    for (const SnoozeEntry& snooze : m_snoozes) {
        if (snooze.atUtc >= from && snooze.atUtc <= untilUtc) {
            out.push_back(Occurrence{snooze.alarm.get(), snooze.atUtc, snooze.atUtc, true});
        }
    }
    // Of equal moments the list's own occurrences come first, in list order.
    std::stable_sort(out.begin(), out.end(),
                     [](const Occurrence& a, const Occurrence& b) { return a.atUtc < b.atUtc; });
    return out;
}

std::optional<Occurrence> CFiringRoad::NextOccurrence(CScheduler& schedule) const
{
    std::optional<Occurrence> best;
    const FileTime from = m_doneUpTo + 1;
    const auto consider = [&best](const Occurrence& candidate) {
        if (!best || candidate.atUtc < best->atUtc) {
            best = candidate;
        }
    };
    if (m_adjustments.empty()) {
        FileTime firing = 0;
        if (const CAlarm* alarm = schedule.GetEarliestAlarmUtc(from, firing)) {
            consider(Occurrence{alarm, firing, firing, false});
        }
    } else {
        for (const auto& alarm : schedule.Alarms()) {
            FileTime firing = 0;
            if (alarm->m_bActive && !alarm->m_bHandled && FirstLiveOccurrenceFrom(*alarm, from, firing)) {
                consider(Occurrence{alarm.get(), firing, firing, false});
            }
        }
        for (const Adjustment& adjustment : m_adjustments) {
            const CAlarm* alarm = schedule.FindById(adjustment.alarmId);
            if (adjustment.movedToUtc && *adjustment.movedToUtc >= from && alarm != nullptr
                && alarm->m_bActive) {
                consider(Occurrence{alarm, *adjustment.movedToUtc, adjustment.originalUtc, false});
            }
        }
    }
    for (const SnoozeEntry& snooze : m_snoozes) {
        if (snooze.atUtc >= from) {
            consider(Occurrence{snooze.alarm.get(), snooze.atUtc, snooze.atUtc, true});
        }
    }
    return best;
}

const CAlarm* CFiringRoad::NextAlarm(CScheduler& schedule, FileTime& firingUtc) const
{
    const std::optional<Occurrence> next = NextOccurrence(schedule);
    if (!next) {
        return nullptr;
    }
    firingUtc = next->atUtc;
    return next->alarm;
}

void CFiringRoad::Snooze(const CAlarm& alarm, FileTime atUtc)
{
    // Snoozed again before it rang: the later moment replaces the earlier.
    std::erase_if(m_snoozes, [&alarm](const SnoozeEntry& snooze) { return snooze.alarm->m_nId == alarm.m_nId; });
    auto copy = std::make_unique<CAlarm>(alarm);
    copy->m_bHandled = false;
    m_snoozes.push_back(SnoozeEntry{std::move(copy), atUtc});
}

void CFiringRoad::CancelSnoozes()
{
    m_snoozes.clear();
}

bool CFiringRoad::Postpone(CScheduler& schedule, std::uint64_t id, FileTime atUtc, FileTime newUtc)
{
    return AdjustOccurrence(schedule, id, atUtc, newUtc);
}

bool CFiringRoad::Skip(CScheduler& schedule, std::uint64_t id, FileTime atUtc)
{
    return AdjustOccurrence(schedule, id, atUtc, std::nullopt);
}

bool CFiringRoad::AdjustOccurrence(CScheduler& schedule, std::uint64_t id, FileTime atUtc,
                                   std::optional<FileTime> newUtc)
{
    if (atUtc <= m_doneUpTo) {
        return false; // already carried out
    }
    // An occurrence postponed before keeps its original moment, which is what hides it.
    for (Adjustment& adjustment : m_adjustments) {
        if (adjustment.alarmId == id && adjustment.movedToUtc == atUtc) {
            adjustment.movedToUtc = newUtc;
            return true;
        }
    }
    const CAlarm* alarm = schedule.FindById(id);
    FileTime occurrence = 0;
    if (alarm == nullptr || !alarm->m_bActive || !FirstLiveOccurrenceFrom(*alarm, atUtc, occurrence)
        || occurrence != atUtc) {
        return false;
    }
    m_adjustments.push_back(Adjustment{id, atUtc, newUtc});
    return true;
}

FiringPass CFiringRoad::CarryOutNow(CScheduler& schedule, std::uint64_t id, FileTime atUtc)
{
    FiringPass pass;
    pass.atUtc = m_clock();
    const CAlarm* alarm = schedule.FindById(id);
    // Taken off its moment first; should that fail, the occurrence is not ahead any more.
    if (alarm == nullptr || !AdjustOccurrence(schedule, id, atUtc, std::nullopt)) {
        return pass;
    }
    DueAlarm due{*alarm, pass.atUtc, pass.atUtc, false, false};
    due.postponed = true;
    pass.alarms.push_back(std::move(due));
    Finish(pass);
    return pass;
}

void CFiringRoad::ForgetAdjustments(std::uint64_t id)
{
    std::erase_if(m_adjustments, [id](const Adjustment& adjustment) { return adjustment.alarmId == id; });
}

void CFiringRoad::OnClockSet()
{
    const FileTime now = m_clock();
    if (now + kOnTimeSpan < m_doneUpTo) {
        m_doneUpTo = now;
    }
}

} // namespace zembra
