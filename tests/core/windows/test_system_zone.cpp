// The system's own zone on Windows: TZ (a tz database name here) is not one of Windows' zone
// keys, so the time code takes the zone the system is set to, which Wine derives from the
// host's TZ. Registered with TZ=America/New_York.

#include "time/ZTime.h"

#include <gtest/gtest.h>

using namespace zembra;

namespace {

// A UTC instant written as ISO text, "2026-03-08T07:00Z".
FileTime Utc(const char* iso)
{
    FileTime ft = 0;
    EXPECT_TRUE(SystemTimeToFileTime(ParseIso(iso).value().time, ft)) << iso;
    return ft;
}

struct Offset {
    const char* name;
    const char* utc;
    long seconds;
};

class SystemZone : public ::testing::TestWithParam<Offset> {};

} // namespace

TEST_P(SystemZone, OffsetIsTheOneOfTheConvertedInstant)
{
    EXPECT_EQ(UtcOffsetSecondsAt(Utc(GetParam().utc)), GetParam().seconds);
}

INSTANTIATE_TEST_SUITE_P(
    NewYork, SystemZone,
    ::testing::Values(Offset{"stillTheOldYearLocally", "2026-01-01T03:00Z", -5 * 3600},
                      // Summer time began on the first Sunday of April until 2006.
                      Offset{"march2006", "2006-03-20T12:00Z", -5 * 3600},
                      Offset{"beforeSpringChange", "2026-03-08T06:59Z", -5 * 3600},
                      Offset{"afterSpringChange", "2026-03-08T07:00Z", -4 * 3600}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(SystemZoneConversion, GapTakesTheOffsetBeforeIt)
{
    // 02:30 on the day of the spring change does not exist in New York: it is 03:30 (EDT).
    EXPECT_EQ(LocalSystemTimeToUtc(ParseIso("2026-03-08T02:30")->time), Utc("2026-03-08T07:30Z"));
}
