#include "TestSupport.h"
#include "time/ZTime.h"

#include <gtest/gtest.h>

using namespace zembra;
using namespace zembra::test;

namespace {

// The local wall-clock time of a UTC instant, as text.
std::string LocalIso(FileTime utc)
{
    const auto local = UtcToLocalSystemTime(utc);
    EXPECT_TRUE(local.has_value());
    return Iso(local.value_or(SystemTime{}));
}

} // namespace

TEST(SystemTimeConversion, RejectsMomentsThatDoNotExist)
{
    FileTime ft = 0;
    for (const SystemTime& valid : {St(2024, 2, 29), St(2000, 2, 29)}) {
        EXPECT_TRUE(SystemTimeToFileTime(valid, ft)) << Iso(valid);
    }
    for (const SystemTime& invalid :
         {St(2023, 2, 29), St(1900, 2, 29), St(2026, 4, 31), St(2026, 0, 1), St(2026, 13, 1),
          St(2026, 1, 0), St(2026, 1, 1, 24), St(2026, 1, 1, 0, 60), St(2026, 1, 1, 0, 0, 60),
          St(2026, 1, 1, 0, 0, 0, 1000), St(1600, 12, 31), St(30828, 1, 1)}) {
        EXPECT_FALSE(SystemTimeToFileTime(invalid, ft)) << Iso(invalid);
    }
}

TEST(SystemTimeConversion, KnownFileTimesAndTheDayOfWeek)
{
    EXPECT_EQ(Ft(St(1601, 1, 1)), 0);
    EXPECT_EQ(Ft(St(1970, 1, 1)), kUnixEpochTicks);
    EXPECT_EQ(Ft(St(1601, 1, 2, 0, 0, 0, 1)), kTicksPerDay + kTicksPerMillisecond);
    SystemTime st;
    ASSERT_TRUE(FileTimeToSystemTime(Ft(St(2026, 12, 7, 13, 45, 30, 250)), st));
    EXPECT_EQ(st, (SystemTime{2026, 12, 1, 7, 13, 45, 30, 250})); // a Monday
    ASSERT_TRUE(FileTimeToSystemTime(0, st));
    EXPECT_EQ(st.wDayOfWeek, 1); // 1601-01-01 was a Monday
    EXPECT_FALSE(FileTimeToSystemTime(-1, st));
}

TEST(SystemTimeConversion, RoundTripsAcrossTheWholeRange)
{
    // Also the first and the last moment that can be written.
    const FileTime last = Ft(St(30827, 12, 31, 23, 59, 59, 999));
    // A stride that is not a whole number of days walks every time of day and month.
    const FileTime stride = last / 100'003;
    for (FileTime ft = 0; ft <= last; ft += stride) {
        const FileTime exact = ft - ft % kTicksPerMillisecond;
        SystemTime st;
        ASSERT_TRUE(FileTimeToSystemTime(exact, st));
        EXPECT_EQ(Ft(st), exact);
    }
}

TEST(LocalTime, RoundTripsInEveryZone)
{
    // Runs under each zone the suite is registered with: any local time that the zone produces
    // converts back to itself.
    const FileTime start = Ft(St(2025, 1, 1));
    for (FileTime utc = start; utc < start + 800 * kTicksPerDay; utc += 37 * kTicksPerMinute) {
        FileTime local = 0;
        ASSERT_TRUE(FileTimeToLocalFileTime(utc, local));
        FileTime back = 0;
        ASSERT_TRUE(LocalFileTimeToFileTime(local, back));
        FileTime localAgain = 0;
        ASSERT_TRUE(FileTimeToLocalFileTime(back, localAgain));
        EXPECT_EQ(localAgain, local);
        // Only the second of two equal wall-clock times maps back to an earlier instant.
        EXPECT_LE(back, utc);
        EXPECT_GT(back, utc - 2 * kTicksPerHour);
    }
}

TEST(LocalTime, WarsawWinterSummerGapAndOverlap)
{
    ScopedTimeZone zone("Europe/Warsaw");
    EXPECT_EQ(LocalFt(St(2026, 1, 15, 12)), Ft(St(2026, 1, 15, 11)));
    EXPECT_EQ(LocalFt(St(2026, 7, 15, 12)), Ft(St(2026, 7, 15, 10)));
    // 02:30 does not exist on 29 March: taken with the winter offset, it is 03:30 summer time.
    EXPECT_EQ(LocalFt(St(2026, 3, 29, 2, 30)), Ft(St(2026, 3, 29, 1, 30)));
    EXPECT_EQ(LocalIso(Ft(St(2026, 3, 29, 1, 30))), "2026-03-29T03:30:00.000");
    // 02:30 occurs twice on 25 October: the first, still in summer time.
    EXPECT_EQ(LocalFt(St(2026, 10, 25, 2, 30)), Ft(St(2026, 10, 25, 0, 30)));
    EXPECT_EQ(LocalFt(St(2026, 10, 25, 3, 0)), Ft(St(2026, 10, 25, 2, 0)));
    // The offset is the one of the converted instant, not of today.
    EXPECT_EQ(UtcOffsetSecondsAt(Ft(St(2008, 3, 14))), 3600);
    EXPECT_EQ(UtcOffsetSecondsAt(Ft(St(2008, 7, 14))), 7200);
}

TEST(LocalTime, NewYorkIsBehindUtcWithTheRulesOfTheConvertedYear)
{
    ScopedTimeZone zone("America/New_York");
    EXPECT_EQ(LocalFt(St(2026, 1, 15, 7)), Ft(St(2026, 1, 15, 12)));
    // Summer time began in April until 2006, in March since.
    EXPECT_EQ(LocalIso(Ft(St(2006, 3, 20, 12))), "2006-03-20T07:00:00.000");
    EXPECT_EQ(LocalIso(Ft(St(2026, 3, 20, 12))), "2026-03-20T08:00:00.000");
}

TEST(LocalTime, LordHoweHalfHourShift)
{
    ScopedTimeZone zone("Australia/Lord_Howe");
    EXPECT_EQ(UtcOffsetSecondsAt(Ft(St(2026, 6, 1))), 10 * 3600 + 1800);
    EXPECT_EQ(UtcOffsetSecondsAt(Ft(St(2026, 12, 1))), 11 * 3600);
    // Gap on 4 October 2026, 02:00-02:30: 02:15 becomes 02:45.
    EXPECT_EQ(LocalFt(St(2026, 10, 4, 2, 15)), Ft(St(2026, 10, 3, 15, 45)));
    EXPECT_EQ(LocalIso(Ft(St(2026, 10, 3, 15, 45))), "2026-10-04T02:45:00.000");
    // Overlap on 5 April 2026, 01:30-02:00 twice: the first is in summer time (+11).
    EXPECT_EQ(LocalFt(St(2026, 4, 5, 1, 45)), Ft(St(2026, 4, 4, 14, 45)));
    EXPECT_EQ(LocalIso(Ft(St(2026, 4, 4, 15, 15))), "2026-04-05T01:45:00.000");
}

TEST(LocalTime, AZoneChangeIsPickedUpAfterReload)
{
    const FileTime summer = Ft(St(2026, 7, 1, 12));
    for (const auto& [name, offset] : {std::pair{"UTC", 0}, std::pair{"Europe/Warsaw", 7200},
                                       std::pair{"America/New_York", -4 * 3600}}) {
        ScopedTimeZone zone(name);
        EXPECT_EQ(UtcOffsetSecondsAt(summer), offset) << name;
    }
}

TEST(IsoText, ParsesAndFormats)
{
    auto parsed = ParseIso("2026-03-30T07:00");
    ASSERT_TRUE(parsed);
    EXPECT_FALSE(parsed->utc);
    EXPECT_EQ(FormatIso(parsed->time, false), "2026-03-30T07:00:00.000");
    EXPECT_EQ(parsed->time.wDayOfWeek, 1);

    parsed = ParseIso("2026-03-30T05:00:07.042Z");
    ASSERT_TRUE(parsed);
    EXPECT_TRUE(parsed->utc);
    EXPECT_EQ(FormatIso(parsed->time, true), "2026-03-30T05:00:07.042Z");

    for (const char* bad : {"2026-03-30", "2026-3-30T07:00", "2026-03-30T07:00:0",
                            "2026-02-30T07:00", "2026-03-30T24:00", "2026-03-30T07:00:00.5",
                            "2026-03-30T07:00Zx", "2026-03-30 07:00", ""}) {
        EXPECT_FALSE(ParseIso(bad)) << bad;
    }
}
