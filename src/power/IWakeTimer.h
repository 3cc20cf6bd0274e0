#pragma once

// The platform's timer that comes due at an absolute UTC moment and, where the system allows
// it, wakes the computer from standby or hibernation to do so.

#include "time/ZTime.h"

#include <string>

namespace zembra {

// Whether the armed timer can bring the machine back from sleep, and if not, why and what the
// user can do about it.
struct WakeCapability {
    enum class Kind {
        CanWake,      // armed moments wake the machine
        NoPermission, // the program may not program the wake-up clock; `command` grants it
        NoWakeClock,  // the machine (or its kernel) has no clock that can wake it
        Disabled,     // switched off on purpose (ZEMBRA_NO_WAKE_ALARM)
        NoTimer,      // the timer itself could not be created
    };
    bool canWake = false;
    std::string reason;  // empty when it can
    std::string remedy;  // empty when it can
    Kind kind = Kind::NoTimer;
    std::string command; // the one command that fixes it, for NoPermission; else empty

    static WakeCapability Granted()
    {
        WakeCapability capability;
        capability.canWake = true;
        capability.kind = Kind::CanWake;
        return capability;
    }
};

class IWakeTimer {
public:
    enum class WaitResult {
        Expired,      // the armed moment came
        ClockChanged, // someone set the system clock: the schedule must be searched again
        Interrupted,  // Interrupt() was called
        Failed,       // the wait itself failed (LastError says why)
    };

    virtual ~IWakeTimer() = default;

    // Creates the timer; false (and LastError) when the system refuses.
    virtual bool Create() = 0;
    // Arms the timer for an absolute UTC moment, replacing any earlier arming. A moment at or
    // before now makes it come due at once.
    virtual bool Arm(FileTime dueUtc) = 0;
    // Disarms the timer; an expiry already taken by Wait() is not recalled.
    virtual bool Cancel() = 0;
    // Blocks until the timer comes due, the clock is set, Interrupt() is called, or the wait
    // fails. Each expiry is returned once.
    virtual WaitResult Wait() = 0;
    // Makes a blocked (or the next) Wait() return Interrupted; callable from any thread.
    virtual void Interrupt() = 0;
    virtual WakeCapability Capability() const = 0;
    virtual std::string LastError() const = 0;
};

} // namespace zembra
