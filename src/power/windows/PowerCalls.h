#pragma once

// The Win32 calls behind the power requests, one operation each, so that a test can record
// what would have been asked of the system instead of suspending or switching off the machine.
// Each returns false with the system's error code when the system refused.

#include <memory>

namespace zembra {

class IPowerCalls {
public:
    virtual ~IPowerCalls() = default;

    // Enables SeShutdownPrivilege in the process's token, which suspending and switching off
    // need.
    virtual bool EnableShutdownPrivilege(unsigned long& error) = 0;
    // SetSuspendState: standby, or hibernation; wake events (the wake timer) stay allowed.
    virtual bool SuspendSystem(bool hibernate, unsigned long& error) = 0;
    // ExitWindowsEx with these flags and reason.
    virtual bool ExitSystem(unsigned flags, unsigned long reason, unsigned long& error) = 0;
    // SetThreadExecutionState with these flags.
    virtual bool SetExecutionState(unsigned long flags, unsigned long& error) = 0;
};

// The real calls.
std::unique_ptr<IPowerCalls> CreateSystemPowerCalls();

} // namespace zembra
