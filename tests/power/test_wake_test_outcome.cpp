// The wake test's verdict from two samples of the sleep gauge and the armed moment, and the
// system's own gauge read for real.

#include "PowerBackends.h"
#include "WakeTestOutcome.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace zembra;

namespace {

FileTime Seconds(double seconds)
{
    return std::llround(seconds * static_cast<double>(kTicksPerSecond));
}

// The test starts 1000 s after boot, 100 s of which the machine had slept before; the timer is
// armed 60 s later. A sample is given as seconds since that start: on the since-boot clock and
// asleep since the start.
constexpr FileTime kStart = 1000 * kTicksPerSecond;
constexpr FileTime kAsleepBefore = 100 * kTicksPerSecond;
constexpr FileTime kArmed = kStart + 60 * kTicksPerSecond;

SleepGaugeSample At(double sinceStart, double asleepSinceStart = 0)
{
    const FileTime sinceBoot = kStart + Seconds(sinceStart);
    return {sinceBoot, sinceBoot - kAsleepBefore - Seconds(asleepSinceStart)};
}

struct Case {
    const char* name;
    SleepGaugeSample previous;
    SleepGaugeSample latest;
    WakeTestOutcome outcome;
    double slept = 0;          // seconds
    double wokeAfterArmed = 0; // seconds
};

class WakeTestVerdictOf : public ::testing::TestWithParam<Case> {};

TEST_P(WakeTestVerdictOf, Samples)
{
    const Case& c = GetParam();
    const WakeTestVerdict verdict = ClassifyWakeTest(c.previous, c.latest, kArmed);
    EXPECT_EQ(verdict.outcome, c.outcome);
    EXPECT_EQ(verdict.slept, Seconds(c.slept));
    EXPECT_EQ(verdict.wokeAfterArmed, Seconds(c.wokeAfterArmed));
}

INSTANTIATE_TEST_SUITE_P(
    WakeTest, WakeTestVerdictOf,
    ::testing::Values(
        // Each outcome is met plainly in the wake test window's tests; these are the edges between.
        Case{"awakeWithinTheGrace", At(63), At(64.9), WakeTestOutcome::Running},
        Case{"awakePastTheGrace", At(64), At(65), WakeTestOutcome::DidNotSleep},
        Case{"aBlipIsNoSleep", At(69), At(70, 0.9), WakeTestOutcome::DidNotSleep},
        // Asleep for 66 s between samples 70 s apart: the window of waking is [75, 79].
        Case{"wokeByTheTimerAtTheLatest", At(9), At(79, 66), WakeTestOutcome::WokeByTimer, 66, 17},
        Case{"wokeOnlyAfterTheTolerance", At(9), At(79, 66.1), WakeTestOutcome::SleptPast, 66.1,
             17.05}),
    [](const ::testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });

// The real clocks: the time asleep is a difference of two readings of one unit, so it can never
// exceed the time since boot nor be markedly below zero.
TEST(SystemSleepGauge, ReadsTwoClocksOfOneUnit)
{
    const auto gauge = CreateSystemSleepGauge();
    const SleepGaugeSample first = gauge->Sample();
    const SleepGaugeSample second = gauge->Sample();
    EXPECT_GT(first.awake, 0);
    EXPECT_GE(first.Asleep(), -kTicksPerSecond / 10);
    EXPECT_LE(first.Asleep(), first.sinceBoot);
    EXPECT_GE(second.awake, first.awake);
    EXPECT_EQ(ClassifyWakeTest(first, second, second.sinceBoot + kTicksPerMinute).outcome,
              WakeTestOutcome::Running);
}

} // namespace
