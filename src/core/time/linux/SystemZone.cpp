#include "time/SystemZone.h"

#include <ctime>

namespace zembra::detail {

long SystemUtcOffsetSeconds(std::int64_t unixSeconds)
{
    const auto t = static_cast<std::time_t>(unixSeconds);
    std::tm tmLocal{};
    if (localtime_r(&t, &tmLocal) == nullptr) {
        return 0;
    }
    return tmLocal.tm_gmtoff;
}

void SystemReloadTimeZone()
{
    tzset();
}

} // namespace zembra::detail
