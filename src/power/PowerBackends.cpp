#include "PowerBackends.h"

#include "SimulatedPowerRequests.h"

// CMake builds the back ends of the system being built for, from its folder; these are the
// only lines that name them.
#ifdef _WIN32
#include "windows/WaitableWakeTimer.h"
#include "windows/Win32PowerRequests.h"
namespace zembra {
using SystemWakeTimer = WaitableWakeTimer;
using SystemPowerRequests = Win32PowerRequests;
} // namespace zembra
#else
#include "linux/LogindPowerRequests.h"
#include "linux/TimerFdWakeTimer.h"
namespace zembra {
using SystemWakeTimer = TimerFdWakeTimer;
using SystemPowerRequests = LogindPowerRequests;
} // namespace zembra
#endif

namespace zembra {

std::unique_ptr<IWakeTimer> CreateSystemWakeTimer()
{
    return std::make_unique<SystemWakeTimer>();
}

std::unique_ptr<IPowerRequests> CreatePowerRequests(const std::string& simulateLogPath)
{
    if (!simulateLogPath.empty()) {
        return std::make_unique<SimulatedPowerRequests>(simulateLogPath);
    }
    return std::make_unique<SystemPowerRequests>();
}

} // namespace zembra
