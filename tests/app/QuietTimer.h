#pragma once

// A wake timer for tests above the timer: it accepts every arming and never comes due. Its wait
// blocks until the owner interrupts it, as the kernel's does, so the waiting thread sleeps.

#include "IWakeTimer.h"

#include <condition_variable>
#include <mutex>

namespace zembra::test {

class QuietTimer : public IWakeTimer {
public:
    bool Create() override { return true; }
    bool Arm(FileTime) override { return true; }
    bool Cancel() override { return true; }
    WaitResult Wait() override
    {
        std::unique_lock lock(m_waitMutex);
        m_interrupted.wait(lock, [this] { return m_stop; });
        return WaitResult::Interrupted;
    }
    void Interrupt() override
    {
        const std::lock_guard lock(m_waitMutex);
        m_stop = true;
        m_interrupted.notify_all();
    }
    WakeCapability Capability() const override { return WakeCapability::Granted(); }
    std::string LastError() const override { return {}; }

private:
    std::mutex m_waitMutex;
    std::condition_variable m_interrupted;
    bool m_stop = false;
};

} // namespace zembra::test
