#pragma once

// How long the computer has slept. The system keeps two clocks that both start at boot: one
// goes on counting while the machine is suspended, the other stops. Their difference grows by
// exactly the time spent asleep, so two samples tell whether the machine slept in between and
// for how long, whatever the wall clock did meanwhile (a time server, the user setting it).

#include "time/ZTime.h"

namespace zembra {

struct SleepGaugeSample {
    FileTime sinceBoot = 0; // ticks since boot, time asleep included
    FileTime awake = 0;     // ticks since boot, time asleep left out

    // Ticks spent asleep since boot (up to a read's worth of jitter).
    FileTime Asleep() const { return sinceBoot - awake; }
};

class ISleepGauge {
public:
    virtual ~ISleepGauge() = default;

    // Reads both clocks, as close together as the system allows.
    virtual SleepGaugeSample Sample() const = 0;
};

} // namespace zembra
