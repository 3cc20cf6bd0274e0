#include "linux/BootTimeSleepGauge.h"

#include <ctime>

namespace zembra {

namespace {

FileTime Ticks(clockid_t clock)
{
    timespec now{};
    // Both clocks exist on every kernel this program runs on; reading them cannot fail.
    ::clock_gettime(clock, &now);
    return static_cast<FileTime>(now.tv_sec) * kTicksPerSecond + now.tv_nsec / 100;
}

} // namespace

SleepGaugeSample BootTimeSleepGauge::Sample() const
{
    SleepGaugeSample sample;
    // Boot time first: the nanoseconds between the two reads then count as awake, never as a
    // moment of sleep.
    sample.sinceBoot = Ticks(CLOCK_BOOTTIME);
    sample.awake = Ticks(CLOCK_MONOTONIC);
    return sample;
}

} // namespace zembra
