#pragma once

// A power back end that changes nothing: each request becomes one line in a log file, so the
// whole chain from an alarm to its power action can be run and checked on a machine that must
// stay awake. The line is "<UTC time, ISO 8601 with milliseconds and Z> <request>", the request
// being one of standby, hibernate, shutdown, display-on.
// Asking who blocks a request changes nothing either, so that question alone goes to the real
// system's back end when one is given, and the warnings name the programs that really block.

#include "IPowerRequests.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace zembra {

class SimulatedPowerRequests final : public IPowerRequests {
public:
    // `inhibitorSource` answers BlockingInhibitors only; no other request ever reaches it.
    explicit SimulatedPowerRequests(std::string logPath,
                                    std::unique_ptr<IPowerRequests> inhibitorSource = nullptr);

    PowerResult Standby() override;
    PowerResult Hibernate() override;
    PowerResult Shutdown() override;
    PowerResult DisplayOn() override;
    std::vector<PowerInhibitor> BlockingInhibitors(const std::string& alarmType) override;

    const std::string& LogPath() const { return m_logPath; }

private:
    PowerResult Record(const char* request);

    const std::string m_logPath;
    const std::unique_ptr<IPowerRequests> m_inhibitorSource;
    // Requests may come from several threads; each line must reach the file whole.
    std::mutex m_mutex;
};

} // namespace zembra
