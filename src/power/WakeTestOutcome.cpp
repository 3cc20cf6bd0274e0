#include "WakeTestOutcome.h"

namespace zembra {

WakeTestVerdict ClassifyWakeTest(const SleepGaugeSample& previous, const SleepGaugeSample& latest,
                                 FileTime armedSinceBoot)
{
    WakeTestVerdict verdict;
    const FileTime slept = latest.Asleep() - previous.Asleep();
    if (slept < kWakeTestMinSleep) {
        if (latest.sinceBoot >= armedSinceBoot + kWakeTestGrace) {
            verdict.outcome = WakeTestOutcome::DidNotSleep;
        }
        return verdict;
    }
    verdict.slept = slept;
    // The machine went to sleep after `previous` and was back before `latest`, so it woke no
    // earlier than `previous` plus the time asleep and no later than `latest`. The width of that
    // window is the awake time between the samples: the going to sleep and the coming back.
    const FileTime earliest = previous.sinceBoot + slept;
    const FileTime latestWake = latest.sinceBoot;
    verdict.wokeAfterArmed = earliest + (latestWake - earliest) / 2 - armedSinceBoot;
    if (latestWake < armedSinceBoot) {
        verdict.outcome = WakeTestOutcome::WokeByHand;
    } else if (earliest > armedSinceBoot + kWakeTestLateWake) {
        verdict.outcome = WakeTestOutcome::SleptPast;
    } else {
        verdict.outcome = WakeTestOutcome::WokeByTimer;
    }
    return verdict;
}

} // namespace zembra
