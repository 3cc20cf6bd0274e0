#pragma once

// What a wake test found: the test arms a timer a minute ahead, asks for standby, and compares
// samples of the sleep gauge taken before and after with the armed moment. Kept free of any
// system call so that every outcome can be checked from made-up samples.

#include "SleepGauge.h"

namespace zembra {

enum class WakeTestOutcome {
    Running,     // no sleep seen yet, and the armed moment has not passed
    WokeByTimer, // slept, and came back at the armed moment
    WokeByHand,  // slept, and came back before the armed moment: someone woke it
    DidNotSleep, // the armed moment passed with the machine awake all along
    SleptPast,   // slept through the armed moment: the timer did not wake it
};

struct WakeTestVerdict {
    WakeTestOutcome outcome = WakeTestOutcome::Running;
    FileTime slept = 0;          // time asleep, when it slept
    FileTime wokeAfterArmed = 0; // the waking moment minus the armed moment (negative: before)
};

// Less than this between two samples is no sleep: both clocks are read one after the other,
// and on systems where one of them ticks in milliseconds the difference wanders a little.
inline constexpr FileTime kWakeTestMinSleep = kTicksPerSecond;
// How long after the armed moment a waking still counts as the timer's: the alarm clock of the
// hardware works in whole seconds, and the moment of waking is known only to within the time
// the system needs to go to sleep and to come back (seconds on a slow machine).
inline constexpr FileTime kWakeTestLateWake = 15 * kTicksPerSecond;
// How long past the armed moment a machine that never slept is given before the test says so.
inline constexpr FileTime kWakeTestGrace = 5 * kTicksPerSecond;

// Judges the test from two successive samples (`previous` taken before `latest`, the first one
// before standby was asked for) and the armed moment on the gauge's since-boot clock.
WakeTestVerdict ClassifyWakeTest(const SleepGaugeSample& previous, const SleepGaugeSample& latest,
                                 FileTime armedSinceBoot);

} // namespace zembra
