// The system's own zone on Windows: TZ (a tz database name here) is not one of Windows' zone
// keys, so the time code takes the zone the system is set to, which Wine derives from the
// host's TZ. Registered with TZ=America/New_York.

#include "time/ZTime.h"

#include <gtest/gtest.h>

using namespace zembra;

namespace {

FileTime Utc(int year, int month, int day, int hour, int minute = 0)
{
    SystemTime st;
    st.wYear = static_cast<std::uint16_t>(year);
    st.wMonth = static_cast<std::uint16_t>(month);
    st.wDay = static_cast<std::uint16_t>(day);
    st.wHour = static_cast<std::uint16_t>(hour);
    st.wMinute = static_cast<std::uint16_t>(minute);
    FileTime ft = 0;
    SystemTimeToFileTime(st, ft);
    return ft;
}

struct Offset {
    const char* name;
    FileTime utc;
    long seconds;
};

class SystemZone : public ::testing::TestWithParam<Offset> {};

} // namespace

TEST_P(SystemZone, OffsetIsTheOneOfTheConvertedInstant)
{
    EXPECT_EQ(UtcOffsetSecondsAt(GetParam().utc), GetParam().seconds);
}

INSTANTIATE_TEST_SUITE_P(
    NewYork, SystemZone,
    ::testing::Values(Offset{"winter", Utc(2026, 1, 15, 12), -5 * 3600},
                      Offset{"summer", Utc(2026, 7, 1, 12), -4 * 3600},
                      // Summer time began on the first Sunday of April until 2006.
                      Offset{"march2006", Utc(2006, 3, 20, 12), -5 * 3600},
                      Offset{"march2026", Utc(2026, 3, 20, 12), -4 * 3600},
                      Offset{"beforeSpringChange", Utc(2026, 3, 8, 6, 59), -5 * 3600},
                      Offset{"afterSpringChange", Utc(2026, 3, 8, 7, 0), -4 * 3600}),
    [](const ::testing::TestParamInfo<Offset>& param) { return std::string(param.param.name); });

TEST(SystemZoneConversion, GapTakesTheOffsetBeforeIt)
{
    const auto utc = LocalSystemTimeToUtc(SystemTime{2026, 3, 0, 8, 2, 30, 0, 0});
    ASSERT_TRUE(utc);
    EXPECT_EQ(*utc, Utc(2026, 3, 8, 7, 30));
}
