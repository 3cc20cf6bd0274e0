#include "SimulatedPowerRequests.h"

#include "time/ZTime.h"

#include <cerrno>
#include <cstdio>
#include <system_error>
#include <utility>

namespace zembra {

namespace {

std::string WriteError(const std::string& path, int error)
{
    return "Cannot write the power request log \"" + path
           + "\": " + std::generic_category().message(error);
}

} // namespace

SimulatedPowerRequests::SimulatedPowerRequests(std::string logPath,
                                               std::unique_ptr<IPowerRequests> inhibitorSource)
    : m_logPath(std::move(logPath))
    , m_inhibitorSource(std::move(inhibitorSource))
{
}

PowerResult SimulatedPowerRequests::Standby()
{
    return Record("standby");
}

PowerResult SimulatedPowerRequests::Hibernate()
{
    return Record("hibernate");
}

PowerResult SimulatedPowerRequests::Shutdown()
{
    return Record("shutdown");
}

PowerResult SimulatedPowerRequests::DisplayOn()
{
    return Record("display-on");
}

std::vector<PowerInhibitor> SimulatedPowerRequests::BlockingInhibitors(const std::string& alarmType)
{
    if (!m_inhibitorSource) {
        return {};
    }
    return m_inhibitorSource->BlockingInhibitors(alarmType);
}

PowerResult SimulatedPowerRequests::Record(const char* request)
{
    SystemTime now;
    if (!FileTimeToSystemTime(GetSystemTimeAsFileTime(), now)) {
        return PowerResult::Failed("The system clock is outside the representable range");
    }
    const std::string line = FormatIso(now, true) + ' ' + request + '\n';

    std::lock_guard lock(m_mutex);
    // Opened anew for every request: the file may be moved away or read between requests,
    // and whatever was written must already be on disk if the program is killed right after.
    std::FILE* file = std::fopen(m_logPath.c_str(), "a");
    if (file == nullptr) {
        return PowerResult::Failed(WriteError(m_logPath, errno));
    }
    bool failed = false;
    int error = 0;
    if (std::fputs(line.c_str(), file) == EOF || std::fflush(file) != 0) {
        failed = true;
        error = errno;
    }
    if (std::fclose(file) != 0 && !failed) {
        failed = true;
        error = errno;
    }
    if (failed) {
        // A stream error need not set errno; an unexplained failure is still a failure.
        return PowerResult::Failed(WriteError(m_logPath, error != 0 ? error : EIO));
    }
    return PowerResult::Ok();
}

} // namespace zembra
