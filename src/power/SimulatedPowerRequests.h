#pragma once

// A power back end that changes nothing: each request becomes one line in a log file, so the
// whole chain from an alarm to its power action can be run and checked on a machine that must
// stay awake. The line is "<UTC time, ISO 8601 with milliseconds and Z> <request>", the request
// being one of standby, hibernate, shutdown, display-on.

#include "IPowerRequests.h"

#include <mutex>
#include <string>

namespace zembra {

class SimulatedPowerRequests final : public IPowerRequests {
public:
    explicit SimulatedPowerRequests(std::string logPath);

    PowerResult Standby() override;
    PowerResult Hibernate() override;
    PowerResult Shutdown() override;
    PowerResult DisplayOn() override;

    const std::string& LogPath() const { return m_logPath; }

private:
    PowerResult Record(const char* request);

    const std::string m_logPath;
    // Requests may come from several threads; each line must reach the file whole.
    std::mutex m_mutex;
};

} // namespace zembra
