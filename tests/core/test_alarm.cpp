#include "TestSupport.h"
#include "model/AlarmTexts.h"
#include "model/CAlarm.h"

#include <gtest/gtest.h>

#include <random>

using namespace zembra;
using namespace zembra::test;

namespace {

CAlarm Make(const char* frequency, const SystemTime& local, const char* type = kTypeWakeup)
{
    CAlarm alarm;
    alarm.m_strFrequency = frequency;
    alarm.m_strType = type;
    alarm.m_time = local;
    alarm.m_bActive = true;
    return alarm;
}

// Asks from a local moment; returns the result and the local firing found.
struct Asked {
    int result;
    SystemTime when;
};

Asked Ask(const CAlarm& alarm, const SystemTime& localFrom, const SystemTime* localLimit = nullptr)
{
    SystemTime when = LocalAsUtcSt(localFrom);
    SystemTime limit;
    if (localLimit != nullptr) {
        limit = LocalAsUtcSt(*localLimit);
    }
    const int result = alarm.GetNextOccurrence(when, localLimit != nullptr ? &limit : nullptr);
    return {result, when};
}

// The slow way, one local calendar step at a time from the base moment, for comparison with
// the closed-form search.
int StepByStep(const CAlarm& alarm, FileTime from, FileTime& firing)
{
    const SystemTime& t = alarm.m_time;
    const FileTime timeOfDay = Ft(t) % kTicksPerDay;
    const std::int64_t baseDay = Ft(t) / kTicksPerDay;
    const auto at = [&](std::int64_t day) {
        FileTime utc = 0;
        LocalFileTimeToFileTime(day * kTicksPerDay + timeOfDay, utc);
        return utc;
    };
    const std::string& f = alarm.m_strFrequency;
    if (f == kFrequencyOnce) {
        firing = at(baseDay);
    } else if (f == kFrequencyEveryday || f == kFrequencyWorkdays || f == kFrequencyWeekend
               || f == kFrequencyWeekly) {
        const int stride = f == kFrequencyWeekly ? 7 : 1;
        for (std::int64_t day = baseDay;; day += stride) {
            const int dow = DayOfWeekFromDays(day);
            const bool dayOk = (f != kFrequencyWorkdays || (dow >= 1 && dow <= 5))
                               && (f != kFrequencyWeekend || dow == 0 || dow == 6);
            if (dayOk && at(day) >= from) {
                firing = at(day);
                break;
            }
        }
    } else {
        const int stride = f == kFrequencyMonthly ? 1 : 12;
        for (int step = 0;; ++step) {
            const int index = t.wYear * 12 + (t.wMonth - 1) + step * stride;
            const int year = index / 12;
            const int month = index % 12 + 1;
            if (t.wDay > DaysInMonth(year, month)) {
                continue;
            }
            const std::int64_t day = DaysFromCivil(year, month, t.wDay);
            if (at(day) >= from) {
                firing = at(day);
                break;
            }
        }
    }
    return firing >= from ? 1 : -1;
}

} // namespace

TEST(AlarmTexts, KeywordsGiveTheirTextsExactly)
{
    CAlarm alarm;
    const std::pair<const char*, const char*> frequencies[] = {
        {"once", "raz"},           {"everyday", "codziennie"}, {"workdays", "dni robocze"},
        {"weekend", "weekend"},    {"weekly", "tygodniowo"},   {"monthly", "miesięcznie"},
        {"yearly", "rocznie"},     {"Once", ""},               {"", ""},
        {"EVERYDAY", ""},
    };
    for (const auto& [keyword, text] : frequencies) {
        alarm.m_strFrequency = keyword;
        EXPECT_EQ(alarm.GetFrequencyText(), text) << keyword;
    }
    const std::pair<const char*, const char*> types[] = {
        {"wakeup", "budzenie"}, {"standby", "wstrzymanie"}, {"hibernate", "hibernacja"},
        {"shutdown", "wyłączenie"}, {"Standby", ""}, {"", ""},
    };
    for (const auto& [keyword, text] : types) {
        alarm.m_strType = keyword;
        EXPECT_EQ(alarm.GetTypeText(), text) << keyword;
    }
}

TEST(AlarmTexts, ActionsInFixedOrderWithSeparator)
{
    CAlarm alarm;
    alarm.m_strType = kTypeStandby;
    alarm.m_strFrequency = kFrequencyWeekly;
    EXPECT_EQ(alarm.GetActionsText(), "");
    EXPECT_EQ(alarm.GetTypeText(), "wstrzymanie");
    EXPECT_EQ(alarm.GetFrequencyText(), "tygodniowo");
    alarm.m_bProgramActive = true;
    EXPECT_EQ(alarm.GetActionsText(), "program");
    alarm.m_bMessageActive = true;
    EXPECT_EQ(alarm.GetActionsText(), "komunikat, program");
    alarm.m_bSoundActive = true;
    EXPECT_EQ(alarm.GetActionsText(), "komunikat, dźwięk, program");
    alarm.m_bMessageActive = alarm.m_bProgramActive = false;
    EXPECT_EQ(alarm.GetActionsText(), "dźwięk");
}

TEST(AlarmTexts, GoThroughTheInstalledTranslator)
{
    SetTextTranslator([](const char* context, const char* source) {
        return std::string(context) + ":" + source;
    });
    CAlarm alarm;
    alarm.m_strFrequency = kFrequencyYearly;
    alarm.m_bSoundActive = alarm.m_bProgramActive = true;
    const std::string frequency = alarm.GetFrequencyText();
    const std::string actions = alarm.GetActionsText();
    SetTextTranslator(nullptr);
    EXPECT_EQ(frequency, "CAlarm:rocznie");
    EXPECT_EQ(actions, "CAlarm:dźwięk, CAlarm:program");
    EXPECT_EQ(alarm.GetFrequencyText(), "rocznie");
}

TEST(Occurrence, OnceKeepsItsMoment)
{
    const CAlarm alarm = Make(kFrequencyOnce, St(2026, 5, 10, 7, 0, 0, 250));
    Asked asked = Ask(alarm, St(2026, 5, 10, 7, 0, 0, 251));
    EXPECT_EQ(asked.result, -1);
    EXPECT_EQ(asked.when, alarm.m_time);
    asked = Ask(alarm, St(2026, 5, 10, 7, 0, 0, 250));
    EXPECT_EQ(asked.result, 1);
    EXPECT_EQ(asked.when, alarm.m_time);
    EXPECT_EQ(Ask(alarm, St(2026, 1, 1)).result, 1);
}

TEST(Occurrence, EverydayTieAndNextDay)
{
    const CAlarm alarm = Make(kFrequencyEveryday, St(2026, 5, 1, 7));
    Asked asked = Ask(alarm, St(2026, 5, 12, 7));
    EXPECT_EQ(asked.result, 1);
    EXPECT_EQ(Iso(asked.when), "2026-05-12T07:00:00.000");
    asked = Ask(alarm, St(2026, 5, 12, 7, 0, 0, 1));
    EXPECT_EQ(asked.result, 1);
    EXPECT_EQ(Iso(asked.when), "2026-05-13T07:00:00.000");
    // Never before the base moment.
    asked = Ask(alarm, St(2026, 4, 1));
    EXPECT_EQ(Iso(asked.when), "2026-05-01T07:00:00.000");
}

TEST(Occurrence, WorkdaysIncludeTheBaseDay)
{
    // Monday 18 May 2026, 07:00, asked the Sunday before: the Monday itself.
    CAlarm alarm = Make(kFrequencyWorkdays, St(2026, 5, 18, 7));
    EXPECT_EQ(Iso(Ask(alarm, St(2026, 5, 17, 12)).when), "2026-05-18T07:00:00.000");
    // Set on a Monday morning for 07:00 the same day.
    EXPECT_EQ(Iso(Ask(alarm, St(2026, 5, 18, 6, 30)).when), "2026-05-18T07:00:00.000");
    // Friday 07:00 base asked on Friday 08:00: the Monday after.
    alarm.m_time = St(2026, 5, 15, 7);
    const Asked asked = Ask(alarm, St(2026, 5, 15, 8));
    EXPECT_EQ(asked.result, 1);
    EXPECT_EQ(Iso(asked.when), "2026-05-18T07:00:00.000");
    // A Saturday base starts on the Monday.
    alarm.m_time = St(2026, 5, 16, 7);
    EXPECT_EQ(Iso(Ask(alarm, St(2026, 5, 1)).when), "2026-05-18T07:00:00.000");
}

TEST(Occurrence, WeekendIncludesTheBaseDay)
{
    CAlarm alarm = Make(kFrequencyWeekend, St(2026, 5, 15, 9)); // a Friday
    EXPECT_EQ(Iso(Ask(alarm, St(2026, 5, 1)).when), "2026-05-16T09:00:00.000");
    alarm.m_time = St(2026, 5, 16, 9); // a Saturday, asked before
    EXPECT_EQ(Iso(Ask(alarm, St(2026, 5, 16, 8)).when), "2026-05-16T09:00:00.000");
    EXPECT_EQ(Iso(Ask(alarm, St(2026, 5, 16, 10)).when), "2026-05-17T09:00:00.000");
    EXPECT_EQ(Iso(Ask(alarm, St(2026, 5, 17, 10)).when), "2026-05-23T09:00:00.000");
}

TEST(Occurrence, WeeklyLandsOnTheBaseWeekday)
{
    const CAlarm alarm = Make(kFrequencyWeekly, St(2026, 1, 7, 18, 30)); // a Wednesday
    for (int day = 1; day <= 60; day += 3) {
        const Asked later = Ask(alarm, St(2026, 6, 1 + day % 28, 19));
        EXPECT_EQ(later.result, 1);
        EXPECT_EQ(later.when.wDayOfWeek, 3);
        EXPECT_EQ(later.when.wHour, 18);
        EXPECT_EQ(later.when.wMinute, 30);
    }
}

TEST(Occurrence, MonthlySkipsMonthsWithoutTheDay)
{
    CAlarm alarm = Make(kFrequencyMonthly, St(2026, 1, 31, 6));
    EXPECT_EQ(Iso(Ask(alarm, St(2026, 2, 1)).when), "2026-03-31T06:00:00.000");
    EXPECT_EQ(Iso(Ask(alarm, St(2026, 4, 1)).when), "2026-05-31T06:00:00.000");
    alarm.m_time = St(2026, 1, 30, 6);
    EXPECT_EQ(Iso(Ask(alarm, St(2026, 2, 1)).when), "2026-03-30T06:00:00.000");
    alarm.m_time = St(2027, 1, 29, 6);
    EXPECT_EQ(Iso(Ask(alarm, St(2027, 2, 1)).when), "2027-03-29T06:00:00.000");
    EXPECT_EQ(Iso(Ask(alarm, St(2028, 2, 1)).when), "2028-02-29T06:00:00.000");
    // The base moment itself counts when it is not past.
    EXPECT_EQ(Iso(Ask(alarm, St(2027, 1, 29, 6)).when), "2027-01-29T06:00:00.000");
}

TEST(Occurrence, YearlyOnLeapDay)
{
    const CAlarm alarm = Make(kFrequencyYearly, St(2008, 2, 29, 8));
    EXPECT_EQ(Iso(Ask(alarm, St(2008, 3, 1)).when), "2012-02-29T08:00:00.000");
    // 2100 is not a leap year: from 2096 the next is 2104.
    EXPECT_EQ(Iso(Ask(alarm, St(2096, 3, 1)).when), "2104-02-29T08:00:00.000");
}

TEST(Occurrence, LimitCountsInclusiveAndStillReportsTheFiring)
{
    const CAlarm alarm = Make(kFrequencyEveryday, St(2026, 5, 1, 7));
    const SystemTime limit = St(2026, 5, 12, 6, 59, 59);
    Asked asked = Ask(alarm, St(2026, 5, 12, 6), &limit);
    EXPECT_EQ(asked.result, -1);
    EXPECT_EQ(Iso(asked.when), "2026-05-12T07:00:00.000");
    const SystemTime exact = St(2026, 5, 12, 7);
    asked = Ask(alarm, St(2026, 5, 12, 6), &exact);
    EXPECT_EQ(asked.result, 1);
}

TEST(Occurrence, UnknownKeywordOrMomentNeverFires)
{
    CAlarm alarm = Make("Once", St(2030, 1, 1));
    SystemTime when = LocalAsUtcSt(St(2026, 1, 1));
    const SystemTime entry = when;
    EXPECT_EQ(alarm.GetNextOccurrence(when), -1);
    EXPECT_EQ(when, entry);
    EXPECT_FALSE(alarm.CanFire());

    // Day 31 in April, day 32, year 0: no base moment, so no firing, and no endless search.
    for (const char* frequency : {kFrequencyMonthly, kFrequencyEveryday, kFrequencyYearly}) {
        for (SystemTime bad : {SystemTime{2026, 4, 0, 31, 7, 0, 0, 0}, SystemTime{2026, 1, 0, 32, 7, 0, 0, 0},
                               SystemTime{}}) {
            alarm = Make(frequency, bad);
            when = entry;
            EXPECT_EQ(alarm.GetNextOccurrence(when), -1);
            EXPECT_EQ(when, entry);
        }
    }
}

TEST(Occurrence, ThirtyYearOldBaseGivesTheSameAsSteppingInEveryZone)
{
    std::mt19937 random(20261207);
    const char* frequencies[] = {kFrequencyEveryday, kFrequencyWorkdays, kFrequencyWeekend,
                                 kFrequencyWeekly,   kFrequencyMonthly,  kFrequencyYearly,
                                 kFrequencyOnce};
    for (int i = 0; i < 3000; ++i) {
        const int year = 1996 + static_cast<int>(random() % 30);
        const int month = 1 + static_cast<int>(random() % 12);
        const int day = 1 + static_cast<int>(random() % 31) % DaysInMonth(year, month);
        const CAlarm alarm =
            Make(frequencies[random() % 7],
                 St(year, month, day,
                    static_cast<int>(random() % 24), static_cast<int>(random() % 4) * 15));
        // Ask near the zone's changes too: every day of 2026, at odd minutes.
        const FileTime from = Ft(St(2026, 1, 1)) + static_cast<FileTime>(random() % 365) * kTicksPerDay
                              + static_cast<FileTime>(random() % 1440) * kTicksPerMinute;
        FileTime expected = 0;
        const int expectedResult = StepByStep(alarm, from, expected);
        FileTime actual = 0;
        const int result = alarm.NextOccurrenceUtc(from, nullptr, actual);
        ASSERT_EQ(result, expectedResult) << alarm.m_strFrequency << " " << Iso(alarm.m_time);
        ASSERT_EQ(actual, expected) << alarm.m_strFrequency << " " << Iso(alarm.m_time);
    }
}

TEST(Occurrence, EverydayKeepsWallClockAcrossDaylightSaving)
{
    ScopedTimeZone zone("Europe/Warsaw");
    const CAlarm alarm = Make(kFrequencyEveryday, St(2026, 3, 1, 7));
    FileTime firing = 0;
    ASSERT_EQ(alarm.NextOccurrenceUtc(Ft(St(2026, 3, 28, 6)), nullptr, firing), 1);
    EXPECT_EQ(firing, Ft(St(2026, 3, 28, 6)));
    ASSERT_EQ(alarm.NextOccurrenceUtc(firing + kTicksPerMillisecond, nullptr, firing), 1);
    EXPECT_EQ(firing, Ft(St(2026, 3, 29, 5)));
    const Asked asked = Ask(alarm, St(2026, 10, 25, 6));
    EXPECT_EQ(Iso(asked.when), "2026-10-25T07:00:00.000");
}

TEST(Occurrence, GapAndOverlapTimesOfDay)
{
    ScopedTimeZone zone("Europe/Warsaw");
    const CAlarm gap = Make(kFrequencyEveryday, St(2026, 3, 1, 2, 30));
    Asked asked = Ask(gap, St(2026, 3, 29, 0, 0));
    EXPECT_EQ(Iso(asked.when), "2026-03-29T03:30:00.000");
    asked = Ask(gap, St(2026, 3, 29, 4, 0));
    EXPECT_EQ(Iso(asked.when), "2026-03-30T02:30:00.000");

    const CAlarm overlap = Make(kFrequencyEveryday, St(2026, 10, 1, 2, 30));
    FileTime firing = 0;
    ASSERT_EQ(overlap.NextOccurrenceUtc(Ft(St(2026, 10, 24, 12)), nullptr, firing), 1);
    EXPECT_EQ(firing, Ft(St(2026, 10, 25, 0, 30))); // the first 02:30
    // Asked between the two 02:30s, it does not ring a second time that night.
    ASSERT_EQ(overlap.NextOccurrenceUtc(Ft(St(2026, 10, 25, 0, 31)), nullptr, firing), 1);
    EXPECT_EQ(firing, Ft(St(2026, 10, 26, 1, 30)));
}
