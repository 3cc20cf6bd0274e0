#include "PowerBackends.h"

#include "SimulatedPowerRequests.h"
#include "linux/LogindPowerRequests.h"
#include "linux/TimerFdWakeTimer.h"

namespace zembra {

std::unique_ptr<IWakeTimer> CreateSystemWakeTimer()
{
    return std::make_unique<TimerFdWakeTimer>();
}

std::unique_ptr<IPowerRequests> CreatePowerRequests(const std::string& simulateLogPath)
{
    if (!simulateLogPath.empty()) {
        return std::make_unique<SimulatedPowerRequests>(simulateLogPath);
    }
    return std::make_unique<LogindPowerRequests>();
}

} // namespace zembra
