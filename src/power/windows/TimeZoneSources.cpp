#include "CTimeZoneWatcher.h"

namespace zembra {

TimeZoneSources SystemTimeZoneSources()
{
    // Windows tells of a new zone with WM_TIMECHANGE, which the wake timer turns into a change
    // of the clock; nothing more to watch.
    return {};
}

} // namespace zembra
