#include "TestSupport.h"
#include "model/CScheduler.h"

#include <gtest/gtest.h>

#include <set>

using namespace zembra;
using namespace zembra::test;

namespace {

CAlarm* Add(CScheduler& schedule, const char* frequency, const SystemTime& local, bool active = true)
{
    auto alarm = std::make_unique<CAlarm>();
    alarm->m_strFrequency = frequency;
    alarm->m_strType = kTypeWakeup;
    alarm->m_time = local;
    alarm->m_bActive = active;
    CAlarm* raw = alarm.get();
    schedule.AddAlarm(std::move(alarm));
    return raw;
}

std::vector<CAlarm*> Walk(CScheduler& schedule, const SystemTime& localStart, const SystemTime& localEnd)
{
    std::vector<CAlarm*> due;
    schedule.ResetWalk();
    while (CAlarm* alarm = schedule.GetNextDueAlarm(LocalAsUtcSt(localStart), LocalAsUtcSt(localEnd))) {
        due.push_back(alarm);
    }
    return due;
}

} // namespace

TEST(Schedule, EarliestOfEqualFiringsIsTheFirstInTheList)
{
    CScheduler schedule;
    Add(schedule, kFrequencyOnce, St(2026, 6, 2, 8));
    CAlarm* first = Add(schedule, kFrequencyEveryday, St(2026, 1, 1, 7));
    Add(schedule, kFrequencyOnce, St(2026, 6, 2, 7));
    Add(schedule, kFrequencyWorkdays, St(2026, 1, 1, 7));

    SystemTime when = LocalAsUtcSt(St(2026, 6, 2, 6)); // a Tuesday
    FileTime firingUtc = 0;
    EXPECT_EQ(schedule.GetEarliestAlarm(when, &firingUtc), first);
    EXPECT_EQ(Iso(when), "2026-06-02T07:00:00.000");
    EXPECT_EQ(firingUtc, LocalFt(St(2026, 6, 2, 7)));
}

TEST(Schedule, SwitchedOffHandledAndNeverFiringAlarmsAreSkipped)
{
    CScheduler schedule;
    CAlarm* off = Add(schedule, kFrequencyOnce, St(2026, 6, 2, 6, 30), false);
    CAlarm* handled = Add(schedule, kFrequencyOnce, St(2026, 6, 2, 6, 40));
    handled->m_bHandled = true;
    Add(schedule, "Weekly", St(2026, 6, 2, 6, 45));
    Add(schedule, kFrequencyOnce, St(2026, 6, 1, 23)); // already past
    CAlarm* later = Add(schedule, kFrequencyOnce, St(2026, 6, 2, 9));

    SystemTime when = LocalAsUtcSt(St(2026, 6, 2, 6));
    EXPECT_EQ(schedule.GetEarliestAlarm(when), later);
    const std::vector<CAlarm*> due = Walk(schedule, St(2026, 6, 2, 6), St(2026, 6, 2, 10));
    EXPECT_EQ(due, std::vector<CAlarm*>{later});

    schedule.ClearHandledFlags();
    EXPECT_FALSE(handled->m_bHandled);
    when = LocalAsUtcSt(St(2026, 6, 2, 6));
    EXPECT_EQ(schedule.GetEarliestAlarm(when), handled);
    EXPECT_NE(schedule.GetEarliestAlarm(when), off);
}

TEST(Schedule, NothingPendingGivesNull)
{
    CScheduler schedule;
    SystemTime when = LocalAsUtcSt(St(2026, 6, 2));
    EXPECT_EQ(schedule.GetEarliestAlarm(when), nullptr);
    Add(schedule, kFrequencyOnce, St(2026, 6, 1));
    Add(schedule, kFrequencyEveryday, St(2026, 6, 1), false);
    EXPECT_EQ(schedule.GetEarliestAlarm(when), nullptr);
}

TEST(Schedule, WindowEndsAreIncluded)
{
    CScheduler schedule;
    CAlarm* alarm = Add(schedule, kFrequencyEveryday, St(2026, 1, 1, 7));
    EXPECT_EQ(Walk(schedule, St(2026, 6, 2, 7), St(2026, 6, 2, 7, 5)), std::vector<CAlarm*>{alarm});
    EXPECT_EQ(Walk(schedule, St(2026, 6, 2, 6), St(2026, 6, 2, 7)), std::vector<CAlarm*>{alarm});
    EXPECT_TRUE(Walk(schedule, St(2026, 6, 2, 6), St(2026, 6, 2, 6, 59, 59)).empty());
}

TEST(Schedule, WalkGoesInListOrderAndEndsWithNull)
{
    CScheduler schedule;
    CAlarm* a = Add(schedule, kFrequencyOnce, St(2026, 6, 2, 7, 30));
    Add(schedule, kFrequencyOnce, St(2026, 6, 2, 12));
    CAlarm* c = Add(schedule, kFrequencyOnce, St(2026, 6, 2, 7, 10));
    const std::vector<CAlarm*> expected{a, c};
    EXPECT_EQ(Walk(schedule, St(2026, 6, 2, 7), St(2026, 6, 2, 8)), expected);
    // After the end the walk stays at the end until reset.
    EXPECT_EQ(schedule.GetNextDueAlarm(LocalAsUtcSt(St(2026, 6, 2, 7)), LocalAsUtcSt(St(2026, 6, 2, 8))),
              nullptr);
}

TEST(Schedule, RemoveHandsBackWithoutDeletingAndKeepsOrder)
{
    CScheduler schedule;
    CAlarm* a = Add(schedule, kFrequencyOnce, St(2026, 6, 2, 7));
    CAlarm* b = Add(schedule, kFrequencyOnce, St(2026, 6, 2, 8));
    CAlarm* c = Add(schedule, kFrequencyOnce, St(2026, 6, 2, 9));
    b->m_strComment = "kept alive";

    std::unique_ptr<CAlarm> removed = schedule.RemoveAlarm(b);
    ASSERT_EQ(removed.get(), b);
    EXPECT_EQ(removed->m_strComment, "kept alive");
    ASSERT_EQ(schedule.Count(), 2u);
    EXPECT_EQ(schedule.At(0), a);
    EXPECT_EQ(schedule.At(1), c);
    EXPECT_EQ(schedule.RemoveAlarm(b), nullptr);

    CAlarm* d = Add(schedule, kFrequencyOnce, St(2026, 6, 2, 10));
    EXPECT_EQ(schedule.IndexOf(d), 2);
    EXPECT_EQ(schedule.IndexOf(b), -1);
}

TEST(Schedule, IdsAreUniqueAndFindable)
{
    CScheduler first;
    CScheduler second;
    std::set<std::uint64_t> ids;
    for (int i = 0; i < 5; ++i) {
        ids.insert(Add(first, kFrequencyOnce, St(2026, 6, 2, i))->m_nId);
        ids.insert(Add(second, kFrequencyOnce, St(2026, 6, 2, i))->m_nId);
    }
    EXPECT_EQ(ids.size(), 10u);
    EXPECT_EQ(ids.count(0), 0u);
    CAlarm* target = second.At(3);
    EXPECT_EQ(second.FindById(target->m_nId), target);
    EXPECT_EQ(first.FindById(target->m_nId), nullptr);
    // A value copy still names its original; a removed alarm is no longer found.
    const CAlarm copy = *target;
    EXPECT_EQ(second.FindById(copy.m_nId), target);
    const std::unique_ptr<CAlarm> removed = second.RemoveAlarm(target);
    EXPECT_EQ(second.FindById(copy.m_nId), nullptr);
}
