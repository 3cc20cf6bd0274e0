#pragma once

// The Windows wake timer: a named waitable timer (an automatic-reset one, so that each expiry
// is taken once) armed at an absolute UTC moment with the resume flag, so that its expiry
// brings the computer back from standby or hibernation.
//
// A change of the system clock (or of the zone) is broadcast as WM_TIMECHANGE to the top-level
// windows, and a resume from sleep as WM_POWERBROADCAST; a thread of the timer's own keeps a
// hidden top-level window (a message-only window would miss broadcasts) that turns both into an
// event, so Wait() can end with ClockChanged whichever thread it runs on. A resume is reported
// like a clock change, as on Linux: the caller compares the armed moment with the clock.
//
// Whether the machine can really be woken: the power plan's "Allow wake timers" is read at
// Create(), and an arming that the system takes but cannot honour with a wake-up
// (ERROR_NOT_SUPPORTED, as Wine and machines without wake support answer) is no failure, only
// a "cannot wake" for Capability().
//
// Environment: ZEMBRA_NO_WAKE_ALARM=1 arms without the resume flag, so that tests and trial
// runs never program the machine's wake-up.

#include "IWakeTimer.h"

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

namespace zembra {

// What decides whether the timer can wake the machine.
struct WaitableWakeProbe {
    bool disabledByEnvironment = false;
    // The power plan's "Allow wake timers" for the present power source: 0 disabled, 1 enabled,
    // 2 important wake timers only (which leaves out a program's); -1 when it cannot be read.
    int wakeTimersPolicy = -1;
    // What the latest arming with the resume flag left as the last error (0: nothing).
    unsigned long resumeError = 0;
};
// Granted; not allowed by the power plan (with the command that allows it); no wake-up by timer
// on this machine; or switched off by the environment.
WakeCapability ClassifyWakeCapability(const WaitableWakeProbe& probe);

class WaitableWakeTimer final : public IWakeTimer {
public:
    static constexpr const wchar_t* kDefaultName = L"zembra_wtimer";

    // `name`: the kernel object's name in the session's namespace; tests give each timer a
    // name of its own so that timers of parallel runs stay apart.
    explicit WaitableWakeTimer(std::wstring name = kDefaultName);
    WaitableWakeTimer(const WaitableWakeTimer&) = delete;
    WaitableWakeTimer& operator=(const WaitableWakeTimer&) = delete;
    ~WaitableWakeTimer() override;

    // Thread use as for every IWakeTimer: Create, Arm and Cancel are serialised by the owner;
    // Wait runs on one thread at a time, concurrently with them; Interrupt, Capability and
    // LastError are callable from anywhere.
    bool Create() override;
    bool Arm(FileTime dueUtc) override;
    bool Cancel() override;
    WaitResult Wait() override;
    void Interrupt() override;
    WakeCapability Capability() const override;
    std::string LastError() const override;

    // The title of the hidden window that hears of clock changes.
    std::wstring ListenerTitle() const;

private:
    void Listen();
    void StopListening();
    // Takes an expiry that came before the timer was set anew, so it cannot pass for the new one.
    void DrainExpiry();
    void SetError(std::string error);

    const std::wstring m_name;
    // Kernel handles; void* rather than HANDLE keeps windows.h out of this header.
    std::atomic<void*> m_timer{nullptr};
    void* m_interruptEvent = nullptr;    // automatic reset
    void* m_clockChangedEvent = nullptr; // automatic reset, set by the listener
    bool m_resume = false;
    std::atomic<bool> m_interruptRequested{false};

    std::thread m_listener;
    std::atomic<void*> m_listenerWindow{nullptr};

    mutable std::mutex m_infoMutex;
    std::string m_lastError;
    WaitableWakeProbe m_probe;
};

} // namespace zembra
