#include "TestSupport.h"
#include "model/CFiringRoad.h"

#include <gtest/gtest.h>

#include <memory>

using namespace zembra;
using namespace zembra::test;

namespace {

using Strings = std::vector<std::string>;

// The road over a schedule, with a clock the test moves and a timer armed the way the program
// arms it: for the earliest occurrence the road has not carried out yet.
class FiringTest : public ::testing::Test {
protected:
    CAlarm* Add(const char* frequency, const SystemTime& local, const char* type = kTypeWakeup,
                bool active = true)
    {
        auto alarm = NewAlarm(frequency, local, type, active);
        alarm->m_strComment = "alarm " + std::to_string(m_schedule.Count());
        m_schedule.AddAlarm(std::move(alarm));
        return m_schedule.At(m_schedule.Count() - 1);
    }

    // The program starts (or the road is made) at this local moment.
    void StartAt(const SystemTime& local)
    {
        m_now = LocalFt(local);
        m_road = std::make_unique<CFiringRoad>([this] { return m_now; });
        Arm();
    }

    void Arm()
    {
        const CAlarm* next = m_road->NextAlarm(m_schedule, m_armedFor);
        m_armedToken = next != nullptr ? next->m_nId : 0;
    }

    // The timer came due (or a pass ran for another reason); the timer is armed again after.
    FiringPass Pass(std::uint64_t token)
    {
        FiringPass pass = m_road->OnFireAlarm(m_schedule, token);
        Arm();
        return pass;
    }
    FiringPass Expire() { return Pass(m_armedToken); }

    // What a pass carried out, as the reports tell it.
    static Strings Comments(const FiringPass& pass)
    {
        Strings comments;
        for (const DueAlarm& d : pass.alarms) {
            comments.push_back(
                d.alarm.m_strComment + (d.caughtUp ? " (caught up)" : "")
                + (d.snoozed ? " (snoozed)" : "")
                + (d.late ? " (late " + std::to_string(d.LateMinutes()) + " min)" : ""));
        }
        return comments;
    }

    ScopedTimeZone m_zone{"Europe/Warsaw"};
    CScheduler m_schedule;
    std::unique_ptr<CFiringRoad> m_road;
    FileTime m_now = 0;
    std::uint64_t m_armedToken = 0;
    FileTime m_armedFor = 0;
};

} // namespace

struct PowerCase {
    const char* name;
    std::vector<const char*> types; // alarms at the same moment, in list order
    FileTime lateBy;                // how long after their moment the pass runs
    const char* request;            // the one request of the pass
};

class PowerOfAPass : public FiringTest, public ::testing::WithParamInterface<PowerCase> {};

TEST_P(PowerOfAPass, OnlyOnTimeAlarmsAskAndTheStrongestWins)
{
    const PowerCase& c = GetParam();
    for (const char* type : c.types) {
        Add(kFrequencyOnce, St(2026, 6, 2, 23), type);
    }
    StartAt(St(2026, 6, 2, 22, 30));
    m_now = m_armedFor + c.lateBy;
    const FiringPass pass = Expire();
    ASSERT_EQ(pass.alarms.size(), c.types.size());
    EXPECT_EQ(pass.powerType, c.request);
    EXPECT_EQ(pass.HasLate(), c.lateBy > CFiringRoad::kOnTimeSpan);
    EXPECT_EQ(pass.alarms.back().LateMinutes(), c.lateBy / kTicksPerMinute);
    // The first listed, for which the timer was armed, goes last; the others are caught up.
    EXPECT_EQ(pass.alarms.back().alarm.m_strComment, "alarm 0");
    EXPECT_EQ(pass.alarms.front().caughtUp, c.types.size() > 1);
    EXPECT_EQ(m_armedToken, 0u); // nothing left to fire
}

INSTANTIATE_TEST_SUITE_P(
    Firing, PowerOfAPass,
    ::testing::Values(
        // The standby at the same second as the alarm armed for is no "missed" alarm: it still
        // puts the computer to sleep, once, although the timer is a little late, as always.
        PowerCase{
            "SameSecond", {kTypeWakeup, kTypeStandby}, 3 * kTicksPerMillisecond, kTypeStandby},
        PowerCase{"ShutdownOnTime", {kTypeShutdown}, 2 * kTicksPerMinute, kTypeShutdown},
        // The lid was closed across the moment: the machine is not switched off on opening it.
        PowerCase{"ShutdownLate", {kTypeShutdown}, 2 * kTicksPerMinute + 1, ""},
        PowerCase{"StandbyLateNextMorning", {kTypeStandby}, 9 * kTicksPerHour, ""},
        PowerCase{
            "StrongestOfThree", {kTypeStandby, kTypeShutdown, kTypeHibernate}, 0, kTypeShutdown},
        PowerCase{
            "HibernateOverStandby", {kTypeStandby, kTypeWakeup, kTypeHibernate}, 0, kTypeHibernate},
        PowerCase{"WakeupAsksNothing", {kTypeWakeup}, 0, ""}),
    [](const ::testing::TestParamInfo<PowerCase>& c) { return std::string(c.param.name); });

TEST_F(FiringTest, LateAndOnTimeAlarmsOfOnePassAreToldApart)
{
    Add(kFrequencyOnce, St(2026, 6, 2, 7), kTypeShutdown);               // slept through
    CAlarm* wake = Add(kFrequencyOnce, St(2026, 6, 2, 9), kTypeStandby); // the timer woke us
    StartAt(St(2026, 6, 2, 6));
    m_now = LocalFt(St(2026, 6, 2, 9, 0, 40));
    const FiringPass pass = Pass(wake->m_nId);
    EXPECT_EQ(Comments(pass), (Strings{"alarm 0 (caught up) (late 120 min)", "alarm 1"}));
    EXPECT_EQ(pass.powerType, kTypeStandby);
}

TEST_F(FiringTest, AfterALongSleepEachAlarmOnceInListOrderWithItsLatestOccurrenceThenNoneAgain)
{
    CAlarm* armed = Add(kFrequencyEveryday, St(2026, 6, 1, 6));
    Add(kFrequencyOnce, St(2026, 6, 3, 12), kTypeShutdown);
    Add(kFrequencyEveryday, St(2026, 6, 1, 6, 30), kTypeHibernate);
    Add(kFrequencyOnce, St(2026, 6, 2, 8), kTypeWakeup, false); // switched off
    Add(kFrequencyOnce, St(2026, 6, 9, 8));                     // still ahead
    StartAt(St(2026, 6, 1, 23));

    // The machine slept through its wake time and comes back three days later.
    m_now = LocalFt(St(2026, 6, 4, 9, 15));
    EXPECT_EQ(Comments(Expire()),
              (Strings{"alarm 1 (caught up) (late 1275 min)", "alarm 2 (caught up) (late 165 min)",
                       "alarm 0 (late 195 min)"}));
    // The everyday alarm's own next occurrence is armed again.
    EXPECT_EQ(m_armedToken, armed->m_nId);
    EXPECT_EQ(m_armedFor, LocalFt(St(2026, 6, 5, 6)));
    // And nothing rings twice, nor an alarm added afterwards for a moment already gone.
    EXPECT_TRUE(Pass(0).IsEmpty());
    Add(kFrequencyOnce, St(2026, 6, 4, 9));
    Arm();
    EXPECT_EQ(m_armedToken, armed->m_nId);
}

TEST_F(FiringTest, ARearmingThatRacesTheExpiryNeitherLosesNorDoublesTheAlarm)
{
    CAlarm* due = Add(kFrequencyOnce, St(2026, 6, 2, 10, 5));
    Add(kFrequencyOnce, St(2026, 6, 2, 11));
    StartAt(St(2026, 6, 2, 10));

    // The kernel has signalled, but before the expiry is handled the list changes and the
    // timer is armed again: it is armed for the due alarm still, which comes due at once.
    m_now = LocalFt(St(2026, 6, 2, 10, 5, 1));
    Arm();
    EXPECT_EQ(m_armedToken, due->m_nId);
    EXPECT_EQ(m_armedFor, LocalFt(St(2026, 6, 2, 10, 5)));

    // The stale expiry and the new one are one pass each; the alarm rings in the first only.
    EXPECT_EQ(Comments(Expire()), (Strings{"alarm 0"}));
    EXPECT_TRUE(Pass(due->m_nId).IsEmpty());
    EXPECT_EQ(m_armedFor, LocalFt(St(2026, 6, 2, 11)));
}

TEST_F(FiringTest, StaleTokensAndEditedAlarmsAreNotFired)
{
    CAlarm* armed = Add(kFrequencyOnce, St(2026, 6, 2, 7));
    Add(kFrequencyOnce, St(2026, 6, 2, 7, 0, 30));
    CAlarm* edited = Add(kFrequencyOnce, St(2026, 6, 2, 7, 0, 40));
    StartAt(St(2026, 6, 2, 6));
    const std::uint64_t token = m_armedToken;

    // The armed alarm is deleted, another moved a week on, before the expiry is handled.
    const std::unique_ptr<CAlarm> removed = m_schedule.RemoveAlarm(armed);
    edited->m_time = St(2026, 6, 9, 7);
    m_now = LocalFt(St(2026, 6, 2, 7, 1));
    EXPECT_EQ(Comments(Pass(token)), (Strings{"alarm 1 (caught up)"}));
    EXPECT_EQ(m_armedFor, LocalFt(St(2026, 6, 9, 7)));

    // A token from a list that has been replaced names nothing in the new one.
    CScheduler other;
    EXPECT_TRUE(m_road->OnFireAlarm(other, token).IsEmpty());
}

TEST_F(FiringTest, TheRoadFollowsAClockSetBackButNotASmallCorrection)
{
    CAlarm* daily = Add(kFrequencyEveryday, St(2026, 6, 1, 7));
    StartAt(St(2026, 6, 2, 6, 59));
    m_now = m_armedFor;
    EXPECT_EQ(Expire().alarms.size(), 1u);

    // A correction of a second: the alarm just carried out does not ring again.
    m_now -= kTicksPerSecond;
    m_road->OnClockSet();
    EXPECT_TRUE(Pass(0).IsEmpty());
    EXPECT_EQ(m_armedFor, LocalFt(St(2026, 6, 3, 7)));

    // Set back an hour: 07:00 on the clock is 07:00 again.
    m_now = LocalFt(St(2026, 6, 2, 6, 30));
    m_road->OnClockSet();
    Arm();
    EXPECT_EQ(m_armedToken, daily->m_nId);
    EXPECT_EQ(m_armedFor, LocalFt(St(2026, 6, 2, 7)));
}

TEST_F(FiringTest, ASnoozeRingsAgainWithoutPowerAndIsDroppedWhenSleptThrough)
{
    CAlarm* alarm = Add(kFrequencyEveryday, St(2026, 6, 2, 7), kTypeShutdown);
    alarm->m_bProgramActive = true;
    alarm->m_strProgram = "backup";
    StartAt(St(2026, 6, 2, 6, 59));
    m_now = m_armedFor;
    ASSERT_EQ(Expire().powerType, kTypeShutdown);

    // Snoozed for ten minutes: the timer is armed for the snooze, not tomorrow's alarm.
    m_road->Snooze(*alarm, m_now + 10 * kTicksPerMinute);
    Arm();
    m_now = m_armedFor + kTicksPerSecond;
    FiringPass pass = Expire();
    EXPECT_EQ(Comments(pass), (Strings{"alarm 0 (caught up) (snoozed)"}));
    EXPECT_FALSE(pass.alarms[0].programHeldBack); // its program does not run at all
    EXPECT_EQ(pass.powerType, "");
    EXPECT_FALSE(m_road->HasSnoozes());
    EXPECT_EQ(m_armedFor, LocalFt(St(2026, 6, 3, 7)));

    // Snoozed again, then the machine sleeps through it: reported late, never rung.
    m_road->Snooze(*alarm, m_now + 5 * kTicksPerMinute);
    m_now += 3 * kTicksPerHour;
    EXPECT_EQ(Comments(Pass(0)), (Strings{"alarm 0 (caught up) (snoozed) (late 175 min)"}));

    // Silencing takes a pending snooze away.
    m_road->Snooze(*alarm, m_now + 5 * kTicksPerMinute);
    m_road->CancelSnoozes();
    Arm();
    EXPECT_EQ(m_armedFor, LocalFt(St(2026, 6, 3, 7)));
}

struct AdjustCase {
    const char* name;
    int postponeMinutes; // -1: skipped
    Strings today;       // what the passes of today carry out
};

class AdjustOneOccurrence : public FiringTest, public ::testing::WithParamInterface<AdjustCase> {};

TEST_P(AdjustOneOccurrence, OnlyThatOccurrenceChanges)
{
    const AdjustCase& c = GetParam();
    CAlarm* standby = Add(kFrequencyEveryday, St(2026, 6, 2, 22), kTypeStandby);
    Add(kFrequencyEveryday, St(2026, 6, 2, 22, 3), kTypeShutdown);
    StartAt(St(2026, 6, 2, 21, 56));

    // Both power alarms, three minutes apart, lie within the countdown of the first.
    const std::vector<Occurrence> ahead =
        m_road->OccurrencesUntil(m_schedule, m_armedFor + kPowerCountdownSpan);
    ASSERT_EQ(ahead.size(), 2u);
    EXPECT_EQ(ahead[1].atUtc - ahead[0].atUtc, 3 * kTicksPerMinute);

    const FileTime at = LocalFt(St(2026, 6, 2, 22));
    if (c.postponeMinutes < 0) {
        ASSERT_TRUE(m_road->Skip(m_schedule, standby->m_nId, at));
    } else {
        ASSERT_TRUE(m_road->Postpone(m_schedule, standby->m_nId, at,
                                     at + c.postponeMinutes * kTicksPerMinute));
    }
    EXPECT_FALSE(m_road->Skip(m_schedule, standby->m_nId, at)); // it is no longer there
    Arm();
    Strings today;
    for (int pass = 0; pass < 3 && m_armedFor < LocalFt(St(2026, 6, 3, 0)); ++pass) {
        m_now = m_armedFor;
        const FiringPass fired = Expire();
        for (const DueAlarm& due : fired.alarms) {
            today.push_back(due.alarm.m_strComment + (due.postponed ? " postponed" : "") + " "
                            + fired.powerType);
        }
    }
    EXPECT_EQ(today, c.today);
    // Tomorrow is as the list says.
    EXPECT_EQ(m_armedFor, LocalFt(St(2026, 6, 3, 22)));
    EXPECT_EQ(m_armedToken, standby->m_nId);
}

INSTANTIATE_TEST_SUITE_P(
    Firing, AdjustOneOccurrence,
    ::testing::Values(
        AdjustCase{"Postponed5", 5, {"alarm 1 shutdown", "alarm 0 postponed standby"}},
        AdjustCase{"PostponedBy2StillFirst", 2, {"alarm 0 postponed standby", "alarm 1 shutdown"}},
        AdjustCase{"Skipped", -1, {"alarm 1 shutdown"}}),
    [](const ::testing::TestParamInfo<AdjustCase>& c) { return std::string(c.param.name); });

TEST_F(FiringTest, APostponedOccurrenceOfAnAlarmSwitchedOffOrEditedIsGone)
{
    CAlarm* alarm = Add(kFrequencyOnce, St(2026, 6, 2, 22), kTypeStandby);
    StartAt(St(2026, 6, 2, 21, 58));
    const FileTime at = m_armedFor;
    ASSERT_TRUE(m_road->Postpone(m_schedule, alarm->m_nId, at, at + 30 * kTicksPerMinute));
    // Postponed again from where it went.
    ASSERT_TRUE(m_road->Postpone(m_schedule, alarm->m_nId, at + 30 * kTicksPerMinute,
                                 at + 35 * kTicksPerMinute));
    Arm();
    EXPECT_EQ(m_armedFor, at + 35 * kTicksPerMinute);
    alarm->m_bActive = false;
    Arm();
    EXPECT_EQ(m_armedToken, 0u);
    alarm->m_bActive = true;
    m_road->ForgetAdjustments(alarm->m_nId); // edited: its own moment again
    Arm();
    EXPECT_EQ(m_armedFor, at);
}
