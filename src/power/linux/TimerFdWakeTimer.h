#pragma once

// The Linux wake timer: a timerfd armed at an absolute moment of the real-time clock.
//
// With the CAP_WAKE_ALARM capability the timer runs on CLOCK_REALTIME_ALARM, whose expiry
// brings the machine back from suspend; without it the kernel refuses that clock and the timer
// falls back to plain CLOCK_REALTIME, which still rings while the machine is awake (and late,
// on resume, when it was asleep). Capability() says which one is in use and how to get the
// other.
//
// Every arming asks the kernel to cancel the wait when someone sets the system clock, so a
// jump of the clock ends Wait() with ClockChanged and the schedule can be searched again. The
// kernel reports a resume from suspend the same way, and an expiry that came together with
// such a report is not returned separately: the caller compares the armed moment with the
// clock when it hears ClockChanged.
//
// Environment: ZEMBRA_NO_WAKE_ALARM=1 makes Create() take plain CLOCK_REALTIME even when the
// alarm clock is allowed, so that tests and trial runs never program the machine's wake-up.

#include "IWakeTimer.h"

#include <atomic>
#include <mutex>
#include <string>

namespace zembra {

// What decides whether the timer can wake the machine; Create() gathers it.
struct WakeProbe {
    bool disabledByEnvironment = false;
    bool alarmClockCreated = false; // timerfd_create(CLOCK_REALTIME_ALARM) succeeded
    int alarmError = 0;             // its errno when it did not
    bool wakeCapableRtc = false;    // a real-time clock with a wake alarm exists
    std::string executablePath;     // the running program, for the setcap command
};
// Granted; not granted (with the exact setcap command for this program); no clock that can
// wake this machine; or switched off by the environment.
WakeCapability ClassifyWakeCapability(const WakeProbe& probe);
// True when a real-time clock under `rtcClassDir` (normally /sys/class/rtc) has a wake alarm.
bool HasWakeCapableRtc(const std::string& rtcClassDir);
// The path as a shell word, quoted only when it needs to be.
std::string ShellQuoted(const std::string& path);

class TimerFdWakeTimer final : public IWakeTimer {
public:
    TimerFdWakeTimer() = default;
    TimerFdWakeTimer(const TimerFdWakeTimer&) = delete;
    TimerFdWakeTimer& operator=(const TimerFdWakeTimer&) = delete;
    ~TimerFdWakeTimer() override;

    // Thread use: Create, Arm and Cancel must not run at the same time as each other (the
    // owner serialises them); Wait runs on one thread at a time, concurrently with Arm and
    // Cancel; Interrupt, Capability and LastError are callable from anywhere.
    bool Create() override;
    bool Arm(FileTime dueUtc) override;
    bool Cancel() override;
    WaitResult Wait() override;
    void Interrupt() override;
    WakeCapability Capability() const override;
    std::string LastError() const override;

    // The clock the timer runs on (CLOCK_REALTIME_ALARM or CLOCK_REALTIME); -1 before Create.
    int ClockId() const { return m_clockId.load(); }

private:
    bool SetTime(long long seconds, long nanoseconds, const char* what);
    void DrainInterrupts();
    void SetError(std::string error);

    std::atomic<int> m_timerFd{-1};
    std::atomic<int> m_eventFd{-1};
    std::atomic<int> m_clockId{-1};
    // Set by Interrupt() before the eventfd exists (or in addition to it), so that an
    // interruption asked for before Create still ends the next Wait().
    std::atomic<bool> m_interruptRequested{false};

    mutable std::mutex m_infoMutex;
    std::string m_lastError;
    WakeCapability m_capability;
};

} // namespace zembra
