#include "TestSupport.h"
#include "model/CFiringRoad.h"

#include <gtest/gtest.h>

using namespace zembra;
using namespace zembra::test;

namespace {

// A schedule with a clock the test moves, and a timer that remembers what it was armed for.
class FiringTest : public ::testing::Test {
protected:
    CAlarm* Add(const char* frequency, const SystemTime& local, const char* type = kTypeWakeup,
                bool active = true)
    {
        auto alarm = std::make_unique<CAlarm>();
        alarm->m_strFrequency = frequency;
        alarm->m_strType = type;
        alarm->m_time = local;
        alarm->m_bActive = active;
        alarm->m_strComment = "alarm " + std::to_string(m_schedule.Count());
        CAlarm* raw = alarm.get();
        m_schedule.AddAlarm(std::move(alarm));
        return raw;
    }

    // What the document does: arm for the earliest pending alarm.
    void UpdateTimer(FileTime notBefore)
    {
        ++m_updates;
        FileTime firing = 0;
        CAlarm* next = m_schedule.GetEarliestAlarmUtc(std::max(notBefore, m_now), firing);
        m_armedToken = next != nullptr ? next->m_nId : 0;
        m_armedFor = next != nullptr ? firing : 0;
    }

    std::vector<DueAlarm> Fire()
    {
        CFiringRoad road([this](FileTime notBefore) { UpdateTimer(notBefore); }, [this] { return m_now; });
        return road.OnFireAlarm(m_schedule, m_armedToken, m_armedFor);
    }

    std::vector<std::string> Comments(const std::vector<DueAlarm>& due)
    {
        std::vector<std::string> comments;
        for (const DueAlarm& d : due) {
            comments.push_back(d.alarm.m_strComment + (d.caughtUp ? " (caught up)" : ""));
        }
        return comments;
    }

    ScopedTimeZone m_zone{"Europe/Warsaw"};
    CScheduler m_schedule;
    FileTime m_now = 0;
    std::uint64_t m_armedToken = 0;
    FileTime m_armedFor = 0;
    int m_updates = 0;
};

} // namespace

TEST_F(FiringTest, TwoAlarmsAtTheSameSecondCatchUpFirst)
{
    Add(kFrequencyOnce, St(2026, 6, 2, 7), kTypeStandby);
    Add(kFrequencyOnce, St(2026, 6, 2, 7));
    m_now = LocalFt(St(2026, 6, 1, 22));
    UpdateTimer(m_now);
    ASSERT_EQ(m_armedToken, m_schedule.At(0)->m_nId);

    m_now = m_armedFor + 3 * kTicksPerMillisecond; // the timer is a little late, as always
    const std::vector<DueAlarm> due = Fire();
    EXPECT_EQ(Comments(due), (std::vector<std::string>{"alarm 1 (caught up)", "alarm 0"}));
    EXPECT_EQ(due[1].alarm.m_strType, kTypeStandby);
    EXPECT_EQ(due[0].firingUtc, LocalFt(St(2026, 6, 2, 7)));
    for (const auto& alarm : m_schedule.Alarms()) {
        EXPECT_FALSE(alarm->m_bHandled);
    }
    EXPECT_EQ(m_armedToken, 0u); // nothing left to fire
}

TEST_F(FiringTest, AfterALongSleepEachMissedAlarmOnceInListOrder)
{
    CAlarm* armed = Add(kFrequencyEveryday, St(2026, 6, 1, 6));
    Add(kFrequencyOnce, St(2026, 6, 3, 12), kTypeShutdown);
    Add(kFrequencyEveryday, St(2026, 6, 1, 6, 30), kTypeHibernate);
    Add(kFrequencyOnce, St(2026, 6, 2, 8), kTypeWakeup, false); // switched off
    Add(kFrequencyOnce, St(2026, 6, 9, 8));                     // still ahead
    m_now = LocalFt(St(2026, 6, 1, 23));
    UpdateTimer(m_now);
    ASSERT_EQ(m_armedToken, armed->m_nId);

    // The machine slept through its wake time and comes back three days later.
    m_now = LocalFt(St(2026, 6, 4, 9, 15));
    const std::vector<DueAlarm> due = Fire();
    EXPECT_EQ(Comments(due), (std::vector<std::string>{"alarm 1 (caught up)", "alarm 2 (caught up)", "alarm 0"}));
    // The fired everyday alarm's own next occurrence is armed again, not left cancelled.
    EXPECT_EQ(m_armedToken, armed->m_nId);
    EXPECT_EQ(m_armedFor, LocalFt(St(2026, 6, 5, 6)));
    EXPECT_EQ(m_updates, 3);
}

TEST_F(FiringTest, FiredAlarmsNextOccurrenceIsArmed)
{
    CAlarm* daily = Add(kFrequencyEveryday, St(2026, 6, 1, 7));
    m_now = LocalFt(St(2026, 6, 2, 6));
    UpdateTimer(m_now);
    m_now = m_armedFor;
    const std::vector<DueAlarm> due = Fire();
    ASSERT_EQ(due.size(), 1u);
    EXPECT_FALSE(due[0].caughtUp);
    EXPECT_EQ(m_armedToken, daily->m_nId);
    EXPECT_EQ(m_armedFor, LocalFt(St(2026, 6, 3, 7)));
}

TEST_F(FiringTest, StaleTokenOnlyCatchesUp)
{
    CAlarm* armed = Add(kFrequencyOnce, St(2026, 6, 2, 7));
    Add(kFrequencyOnce, St(2026, 6, 2, 7, 0, 30));
    m_now = LocalFt(St(2026, 6, 2, 6));
    UpdateTimer(m_now);
    const std::uint64_t token = m_armedToken;
    const FileTime armedFor = m_armedFor;

    // The armed alarm is deleted before the expiry reaches the schedule.
    const std::unique_ptr<CAlarm> removed = m_schedule.RemoveAlarm(armed);
    m_armedToken = token;
    m_armedFor = armedFor;
    m_now = LocalFt(St(2026, 6, 2, 7, 1));
    EXPECT_EQ(Comments(Fire()), (std::vector<std::string>{"alarm 1 (caught up)"}));

    // A token from a list that has been replaced names nothing in the new one.
    CScheduler other;
    CFiringRoad road([](FileTime) {}, [this] { return m_now; });
    EXPECT_TRUE(road.OnFireAlarm(other, token, armedFor).empty());
}

TEST_F(FiringTest, AlarmEditedSinceArmingIsNotFired)
{
    CAlarm* armed = Add(kFrequencyOnce, St(2026, 6, 2, 7));
    m_now = LocalFt(St(2026, 6, 2, 6));
    UpdateTimer(m_now);
    armed->m_time = St(2026, 6, 9, 7); // moved a week on; the expiry was already under way
    m_now = m_armedFor;
    EXPECT_TRUE(Fire().empty());
    EXPECT_EQ(m_armedToken, armed->m_nId);
    EXPECT_EQ(m_armedFor, LocalFt(St(2026, 6, 9, 7)));
}
