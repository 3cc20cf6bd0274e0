#pragma once

// The program's one source of "now". Everything that needs the present moment asks here, so
// that tests can move time forward instead of waiting for it.

#include "time/ZTime.h"

#include <functional>

namespace zembra {

class Clock {
public:
    // The present moment in UTC: the system's, or the one a test installed.
    static FileTime Now();
    // Installs a replacement (tests only); an empty function restores the system clock.
    static void SetForTesting(std::function<FileTime()> now);
};

} // namespace zembra
