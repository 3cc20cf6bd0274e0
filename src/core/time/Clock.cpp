#include "time/Clock.h"

#include <mutex>

namespace zembra {

namespace {
std::mutex g_clockMutex;
std::function<FileTime()> g_testClock;
} // namespace

FileTime Clock::Now()
{
    {
        const std::lock_guard lock(g_clockMutex);
        if (g_testClock) {
            return g_testClock();
        }
    }
    return GetSystemTimeAsFileTime();
}

void Clock::SetForTesting(std::function<FileTime()> now)
{
    const std::lock_guard lock(g_clockMutex);
    g_testClock = std::move(now);
}

} // namespace zembra
