#pragma once

// The system-dependent part of the local-time conversions: the offset of local time from UTC
// at one instant under the process's zone, and re-reading that zone. One source file per
// system implements it (linux/, windows/, chosen by CMake); everything built on it, the cache
// and the rules for gaps and overlaps included, is shared.

#include <cstdint>

namespace zembra::detail {

// Seconds east of UTC in force at `unixSeconds` (seconds since 1970-01-01 UTC); 0 when the
// system cannot say.
long SystemUtcOffsetSeconds(std::int64_t unixSeconds);

// Makes the next query see the process's zone as it is now (after TZ or the system's zone
// changed).
void SystemReloadTimeZone();

} // namespace zembra::detail
