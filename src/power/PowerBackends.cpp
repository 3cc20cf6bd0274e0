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

TimeZoneSources SystemTimeZoneSources()
{
    TimeZoneSources sources;
    sources.files = {QStringLiteral("/etc/localtime"), QStringLiteral("/etc/timezone")};
    sources.service = QStringLiteral("org.freedesktop.timedate1");
    sources.path = QStringLiteral("/org/freedesktop/timedate1");
    sources.interface = QStringLiteral("org.freedesktop.timedate1");
    return sources;
}

} // namespace zembra
