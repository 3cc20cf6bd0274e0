#pragma once

// A wake timer for tests above the timer: it accepts every arming and never comes due.

#include "IWakeTimer.h"

namespace zembra::test {

class QuietTimer : public IWakeTimer {
public:
    bool Create() override { return true; }
    bool Arm(FileTime) override { return true; }
    bool Cancel() override { return true; }
    WaitResult Wait() override { return WaitResult::Interrupted; }
    void Interrupt() override {}
    WakeCapability Capability() const override { return WakeCapability::Granted(); }
    std::string LastError() const override { return {}; }
};

} // namespace zembra::test
