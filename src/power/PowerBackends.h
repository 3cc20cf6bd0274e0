#pragma once

// The one place where the platform's back ends are chosen.

#include "IPowerRequests.h"
#include "IWakeTimer.h"
#include "SleepGauge.h"

#include <memory>
#include <string>

namespace zembra {

// The system's wake timer (Linux: timerfd; Windows: the named waitable timer).
std::unique_ptr<IWakeTimer> CreateSystemWakeTimer();
// The wake timer of `zembractl run`: a timer of its own, never the desktop program's.
std::unique_ptr<IWakeTimer> CreateEngineWakeTimer();

// A wake timer of its own for the wake test, apart from the alarms' one: arming it must leave
// the alarm timer's arming alone (on Windows it is a waitable timer of another name).
std::unique_ptr<IWakeTimer> CreateWakeTestTimer();

// The system's gauge of time spent asleep (Linux: boot time against monotonic time; Windows:
// interrupt time against unbiased interrupt time).
std::unique_ptr<ISleepGauge> CreateSystemSleepGauge();

// The system's power requests (Linux: logind and the session's screen saver; Windows:
// SetSuspendState, ExitWindowsEx, SetThreadExecutionState), or, when
// `simulateLogPath` is not empty, the simulated back end that only appends one line per
// request to that file and never touches the machine (it asks the system only which programs
// block a request, which changes nothing).
std::unique_ptr<IPowerRequests> CreatePowerRequests(const std::string& simulateLogPath = {});

} // namespace zembra
