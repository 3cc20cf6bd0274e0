#pragma once

// The power requests on Linux: standby, hibernation and switching off are asked of logind on
// the system bus, which also names the programs holding them off, turning the display on of the
// session's screen saver on the session bus.
// Every call blocks until the service answers or the time-out passes, so the requests belong
// on a worker thread; the object holds no connection of its own and may be used from any
// thread, whichever thread made it.

#include "IPowerRequests.h"

#include <string>
#include <vector>

namespace zembra {

class LogindPowerRequests final : public IPowerRequests {
public:
    static constexpr int kDefaultTimeoutMs = 5000;

    explicit LogindPowerRequests(int timeoutMs = kDefaultTimeoutMs);

    PowerResult Standby() override;
    PowerResult Hibernate() override;
    PowerResult Shutdown() override;
    PowerResult DisplayOn() override;
    // Read from logind's ListInhibitors; no answer within the time-out counts as none.
    std::vector<PowerInhibitor> BlockingInhibitors(const std::string& alarmType) override;

private:
    PowerResult CallLogind(const char* method) const;

    int m_timeoutMs;
};

} // namespace zembra
