#pragma once

// The power requests on Windows: standby and hibernation through SetSuspendState, switching
// off through ExitWindowsEx (forced: running programs are not asked), each after enabling the
// shutdown privilege of the process; the display is turned on through SetThreadExecutionState.
// A refused request returns the system's own text.

#include "IPowerRequests.h"
#include "windows/PowerCalls.h"

#include <memory>

namespace zembra {

class Win32PowerRequests final : public IPowerRequests {
public:
    // `calls` null: the system's.
    explicit Win32PowerRequests(std::unique_ptr<IPowerCalls> calls = nullptr);

    PowerResult Standby() override;
    PowerResult Hibernate() override;
    PowerResult Shutdown() override;
    PowerResult DisplayOn() override;

    // ExitWindowsEx: switch the power off, without asking running programs; recorded as a
    // planned shut-down, which is what an alarm the user set is.
    static const unsigned kShutdownFlags;
    static const unsigned long kShutdownReason;
    // SetThreadExecutionState: turn the display on and keep a machine that a timer woke from
    // falling asleep again at once (not continuous: the idle timers start over, that is all).
    static const unsigned long kDisplayOnFlags;

private:
    PowerResult Suspend(bool hibernate);
    // Fails with the system's text when the privilege cannot be enabled.
    PowerResult EnablePrivilege();

    std::unique_ptr<IPowerCalls> m_calls;
};

} // namespace zembra
