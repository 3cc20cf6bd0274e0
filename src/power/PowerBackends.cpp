#include "PowerBackends.h"

#include "SimulatedPowerRequests.h"

#include <utility>

// CMake builds the back ends of the system being built for, from its folder; these are the
// only lines that name them.
#ifdef _WIN32
#include "windows/InterruptTimeSleepGauge.h"
#include "windows/WaitableWakeTimer.h"
#include "windows/Win32PowerRequests.h"

#include <windows.h>

#include <string>
namespace zembra {
using SystemWakeTimer = WaitableWakeTimer;
using SystemPowerRequests = Win32PowerRequests;
// Windows cannot name the programs that hold off a request.
constexpr bool kSystemListsInhibitors = false;
using SystemSleepGauge = InterruptTimeSleepGauge;
// Named after the process, so that it can never be the alarms' "zembra_wtimer", nor the test
// timer of another run.
std::unique_ptr<IWakeTimer> MakeWakeTestTimer()
{
    return std::make_unique<WaitableWakeTimer>(L"zembra_waketest_"
                                               + std::to_wstring(::GetCurrentProcessId()));
}
// A named timer is one object for every process that opens the name: `zembractl run` beside the
// desktop program would re-arm the program's timer and lose its alarms.
std::unique_ptr<IWakeTimer> MakeEngineWakeTimer()
{
    return std::make_unique<WaitableWakeTimer>(L"zembra_wtimer_run_"
                                               + std::to_wstring(::GetCurrentProcessId()));
}
} // namespace zembra
#else
#include "linux/BootTimeSleepGauge.h"
#include "linux/LogindPowerRequests.h"
#include "linux/TimerFdWakeTimer.h"
namespace zembra {
using SystemWakeTimer = TimerFdWakeTimer;
using SystemPowerRequests = LogindPowerRequests;
constexpr bool kSystemListsInhibitors = true;
using SystemSleepGauge = BootTimeSleepGauge;
// Every timerfd is a timer of its own.
std::unique_ptr<IWakeTimer> MakeWakeTestTimer()
{
    return std::make_unique<TimerFdWakeTimer>();
}
std::unique_ptr<IWakeTimer> MakeEngineWakeTimer()
{
    return std::make_unique<TimerFdWakeTimer>();
}
} // namespace zembra
#endif

namespace zembra {

std::unique_ptr<IWakeTimer> CreateSystemWakeTimer()
{
    return std::make_unique<SystemWakeTimer>();
}

std::unique_ptr<IWakeTimer> CreateEngineWakeTimer()
{
    return MakeEngineWakeTimer();
}

std::unique_ptr<IWakeTimer> CreateWakeTestTimer()
{
    return MakeWakeTestTimer();
}

std::unique_ptr<ISleepGauge> CreateSystemSleepGauge()
{
    return std::make_unique<SystemSleepGauge>();
}

std::unique_ptr<IPowerRequests> CreatePowerRequests(const std::string& simulateLogPath)
{
    if (!simulateLogPath.empty()) {
        // Listing the blocking programs only reads, so even a simulation asks the system.
        std::unique_ptr<IPowerRequests> inhibitorSource;
        if constexpr (kSystemListsInhibitors) {
            inhibitorSource = std::make_unique<SystemPowerRequests>();
        }
        return std::make_unique<SimulatedPowerRequests>(simulateLogPath,
                                                        std::move(inhibitorSource));
    }
    return std::make_unique<SystemPowerRequests>();
}

} // namespace zembra
