// The alarm model: an alarm's texts and occurrences, the list's choice of the next alarm, and the
// splitting of an alarm's command line.
#include "TestSupport.h"
#include "model/AlarmTexts.h"
#include "model/CScheduler.h"
#include "model/CommandLine.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <tuple>
#include <vector>

using namespace zembra;
using namespace zembra::test;

namespace {

// Asks from a local moment, up to a local limit if given; returns the result and the local firing
// found.
struct Asked {
    int result;
    SystemTime when;
};

Asked Ask(const CAlarm& alarm, const SystemTime& localFrom, const SystemTime* localLimit = nullptr)
{
    SystemTime when = LocalAsUtcSt(localFrom);
    const SystemTime limit = localLimit != nullptr ? LocalAsUtcSt(*localLimit) : SystemTime{};
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
    for (const auto& [keyword, text] :
         std::vector<std::pair<const char*, const char*>>{{"once", "raz"},
                                                          {"everyday", "codziennie"},
                                                          {"workdays", "dni robocze"},
                                                          {"weekend", "weekend"},
                                                          {"weekly", "tygodniowo"},
                                                          {"monthly", "miesięcznie"},
                                                          {"yearly", "rocznie"},
                                                          {"Once", ""},
                                                          {"", ""},
                                                          {"EVERYDAY", ""}}) {
        alarm.m_strFrequency = keyword;
        EXPECT_EQ(alarm.GetFrequencyText(), text) << keyword;
    }
    for (const auto& [keyword, text] :
         std::vector<std::pair<const char*, const char*>>{{"wakeup", "budzenie"},
                                                          {"standby", "wstrzymanie"},
                                                          {"hibernate", "hibernacja"},
                                                          {"shutdown", "wyłączenie"},
                                                          {"Standby", ""},
                                                          {"", ""}}) {
        alarm.m_strType = keyword;
        EXPECT_EQ(alarm.GetTypeText(), text) << keyword;
    }
}

TEST(AlarmTexts, ActionsInFixedOrderWithSeparator)
{
    CAlarm alarm;
    for (const auto& [message, sound, program, text] :
         std::vector<std::tuple<bool, bool, bool, const char*>>{
             {false, false, false, ""},
             {false, false, true, "program"},
             {true, false, true, "komunikat, program"},
             {true, true, true, "komunikat, dźwięk, program"},
             {false, true, false, "dźwięk"}}) {
        alarm.m_bMessageActive = message;
        alarm.m_bSoundActive = sound;
        alarm.m_bProgramActive = program;
        EXPECT_EQ(alarm.GetActionsText(), text);
    }
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

// An alarm of a frequency set at a local base moment, asked from a local moment: its next firing
// in local time, or with `result` -1 none (`when` then still the firing found after the limit).
struct OccurrenceCase {
    const char* name;
    const char* frequency;
    SystemTime base;
    SystemTime from;
    const char* when;
    int result = 1;
};

class Occurrence : public ::testing::TestWithParam<OccurrenceCase> {};

TEST_P(Occurrence, IsTheNextFiringFromTheAskedMoment)
{
    const OccurrenceCase& c = GetParam();
    const Asked asked = Ask(*NewAlarm(c.frequency, c.base), c.from);
    EXPECT_EQ(asked.result, c.result);
    EXPECT_EQ(FormatIso(asked.when, false), c.when);
}

INSTANTIATE_TEST_SUITE_P(
    Frequencies, Occurrence,
    ::testing::ValuesIn(std::vector<OccurrenceCase>{
        {"OnceAtItsMomentToTheMillisecond", kFrequencyOnce, St(2026, 5, 10, 7, 0, 0, 250),
         St(2026, 5, 10, 7, 0, 0, 250), "2026-05-10T07:00:00.250"},
        {"OnceLongBefore", kFrequencyOnce, St(2026, 5, 10, 7, 0, 0, 250), St(2026, 1, 1),
         "2026-05-10T07:00:00.250"},
        {"OncePastKeepsItsMoment", kFrequencyOnce, St(2026, 5, 10, 7, 0, 0, 250),
         St(2026, 5, 10, 7, 0, 0, 251), "2026-05-10T07:00:00.250", -1},
        {"EverydayAtTheMomentItself", kFrequencyEveryday, St(2026, 5, 1, 7), St(2026, 5, 12, 7),
         "2026-05-12T07:00:00.000"},
        {"EverydayAMillisecondLaterTheNextDay", kFrequencyEveryday, St(2026, 5, 1, 7),
         St(2026, 5, 12, 7, 0, 0, 1), "2026-05-13T07:00:00.000"},
        {"EverydayNeverBeforeTheBase", kFrequencyEveryday, St(2026, 5, 1, 7), St(2026, 4, 1),
         "2026-05-01T07:00:00.000"},
        // Monday 18 May 2026, 07:00, asked the Sunday before: the Monday itself.
        {"WorkdaysIncludeTheBaseDay", kFrequencyWorkdays, St(2026, 5, 18, 7), St(2026, 5, 17, 12),
         "2026-05-18T07:00:00.000"},
        {"WorkdaysSetOnTheMorningItself", kFrequencyWorkdays, St(2026, 5, 18, 7),
         St(2026, 5, 18, 6, 30), "2026-05-18T07:00:00.000"},
        {"WorkdaysAfterFridayMonday", kFrequencyWorkdays, St(2026, 5, 15, 7), St(2026, 5, 15, 8),
         "2026-05-18T07:00:00.000"},
        {"WorkdaysFromASaturdayBaseMonday", kFrequencyWorkdays, St(2026, 5, 16, 7), St(2026, 5, 1),
         "2026-05-18T07:00:00.000"},
        {"WeekendFromAFridayBaseSaturday", kFrequencyWeekend, St(2026, 5, 15, 9), St(2026, 5, 1),
         "2026-05-16T09:00:00.000"},
        {"WeekendIncludesTheBaseDay", kFrequencyWeekend, St(2026, 5, 16, 9), St(2026, 5, 16, 8),
         "2026-05-16T09:00:00.000"},
        {"WeekendSaturdayThenSunday", kFrequencyWeekend, St(2026, 5, 16, 9), St(2026, 5, 16, 10),
         "2026-05-17T09:00:00.000"},
        {"WeekendSundayThenNextSaturday", kFrequencyWeekend, St(2026, 5, 16, 9),
         St(2026, 5, 17, 10), "2026-05-23T09:00:00.000"},
        {"WeeklyOnTheBaseWeekday", kFrequencyWeekly, St(2026, 1, 7, 18, 30), St(2026, 6, 4, 19),
         "2026-06-10T18:30:00.000"},
        {"MonthlySkipsFebruary", kFrequencyMonthly, St(2026, 1, 31, 6), St(2026, 2, 1),
         "2026-03-31T06:00:00.000"},
        {"MonthlySkipsApril", kFrequencyMonthly, St(2026, 1, 31, 6), St(2026, 4, 1),
         "2026-05-31T06:00:00.000"},
        {"MonthlyThirtiethSkipsFebruary", kFrequencyMonthly, St(2026, 1, 30, 6), St(2026, 2, 1),
         "2026-03-30T06:00:00.000"},
        {"MonthlyTwentyNinthSkipsAShortFebruary", kFrequencyMonthly, St(2027, 1, 29, 6),
         St(2027, 2, 1), "2027-03-29T06:00:00.000"},
        {"MonthlyTwentyNinthInALeapFebruary", kFrequencyMonthly, St(2027, 1, 29, 6), St(2028, 2, 1),
         "2028-02-29T06:00:00.000"},
        {"MonthlyAtTheBaseMomentItself", kFrequencyMonthly, St(2027, 1, 29, 6), St(2027, 1, 29, 6),
         "2027-01-29T06:00:00.000"},
        {"YearlyOnLeapDay", kFrequencyYearly, St(2008, 2, 29, 8), St(2008, 3, 1),
         "2012-02-29T08:00:00.000"},
        // 2100 is not a leap year: from 2096 the next is 2104.
        {"YearlyOnLeapDaySkips2100", kFrequencyYearly, St(2008, 2, 29, 8), St(2096, 3, 1),
         "2104-02-29T08:00:00.000"}}),
    [](const auto& c) { return std::string(c.param.name); });

TEST(Occurrence, LimitCountsInclusiveAndStillReportsTheFiring)
{
    const auto alarm = NewAlarm(kFrequencyEveryday, St(2026, 5, 1, 7));
    const SystemTime before = St(2026, 5, 12, 6, 59, 59);
    const SystemTime exact = St(2026, 5, 12, 7);
    const Asked asked = Ask(*alarm, St(2026, 5, 12, 6), &before);
    EXPECT_EQ(asked.result, -1);
    EXPECT_EQ(Iso(asked.when), "2026-05-12T07:00:00.000");
    EXPECT_EQ(Ask(*alarm, St(2026, 5, 12, 6), &exact).result, 1);
}

TEST(Occurrence, UnknownKeywordOrMomentNeverFires)
{
    const SystemTime entry = LocalAsUtcSt(St(2026, 1, 1));
    SystemTime when = entry;
    const auto unknown = NewAlarm("Once", St(2030, 1, 1));
    EXPECT_FALSE(unknown->CanFire());
    EXPECT_EQ(unknown->GetNextOccurrence(when), -1);
    EXPECT_EQ(when, entry);
    // Day 31 in April, day 32, year 0: no base moment, so no firing, and no endless search.
    for (const char* frequency : {kFrequencyMonthly, kFrequencyEveryday, kFrequencyYearly}) {
        for (const SystemTime& bad : {SystemTime{2026, 4, 0, 31, 7, 0, 0, 0},
                                      SystemTime{2026, 1, 0, 32, 7, 0, 0, 0}, SystemTime{}}) {
            EXPECT_EQ(NewAlarm(frequency, bad)->GetNextOccurrence(when), -1) << frequency;
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
        const auto alarm = NewAlarm(frequencies[random() % 7],
                                    St(year, month, day, static_cast<int>(random() % 24),
                                       static_cast<int>(random() % 4) * 15));
        // Ask near the zone's changes too: every day of 2026, at odd minutes.
        const FileTime from = Ft(St(2026, 1, 1))
                              + static_cast<FileTime>(random() % 365) * kTicksPerDay
                              + static_cast<FileTime>(random() % 1440) * kTicksPerMinute;
        FileTime expected = 0;
        const int expectedResult = StepByStep(*alarm, from, expected);
        FileTime actual = 0;
        ASSERT_EQ(alarm->NextOccurrenceUtc(from, nullptr, actual), expectedResult)
            << alarm->m_strFrequency << " " << Iso(alarm->m_time);
        ASSERT_EQ(actual, expected) << alarm->m_strFrequency << " " << Iso(alarm->m_time);
    }
}

TEST(Occurrence, EverydayKeepsWallClockAcrossDaylightSavingGapAndOverlap)
{
    ScopedTimeZone zone("Europe/Warsaw");
    const auto seven = NewAlarm(kFrequencyEveryday, St(2026, 3, 1, 7));
    FileTime firing = 0;
    ASSERT_EQ(seven->NextOccurrenceUtc(Ft(St(2026, 3, 28, 6)), nullptr, firing), 1);
    EXPECT_EQ(firing, Ft(St(2026, 3, 28, 6)));
    ASSERT_EQ(seven->NextOccurrenceUtc(firing + kTicksPerMillisecond, nullptr, firing), 1);
    EXPECT_EQ(firing, Ft(St(2026, 3, 29, 5)));
    EXPECT_EQ(Iso(Ask(*seven, St(2026, 10, 25, 6)).when), "2026-10-25T07:00:00.000");

    const auto gap = NewAlarm(kFrequencyEveryday, St(2026, 3, 1, 2, 30));
    EXPECT_EQ(Iso(Ask(*gap, St(2026, 3, 29, 0, 0)).when), "2026-03-29T03:30:00.000");
    EXPECT_EQ(Iso(Ask(*gap, St(2026, 3, 29, 4, 0)).when), "2026-03-30T02:30:00.000");

    const auto overlap = NewAlarm(kFrequencyEveryday, St(2026, 10, 1, 2, 30));
    ASSERT_EQ(overlap->NextOccurrenceUtc(Ft(St(2026, 10, 24, 12)), nullptr, firing), 1);
    EXPECT_EQ(firing, Ft(St(2026, 10, 25, 0, 30))); // the first 02:30
    // Asked between the two 02:30s, it does not ring a second time that night.
    ASSERT_EQ(overlap->NextOccurrenceUtc(Ft(St(2026, 10, 25, 0, 31)), nullptr, firing), 1);
    EXPECT_EQ(firing, Ft(St(2026, 10, 26, 1, 30)));
}

// ---- the list ---------------------------------------------------------------------------------

namespace {

CAlarm* Add(CScheduler& schedule, const char* frequency, const SystemTime& local,
            bool active = true)
{
    schedule.AddAlarm(NewAlarm(frequency, local, kTypeWakeup, active));
    return schedule.At(schedule.Count() - 1);
}

std::vector<CAlarm*> Walk(CScheduler& schedule, const SystemTime& localStart,
                          const SystemTime& localEnd)
{
    std::vector<CAlarm*> due;
    schedule.ResetWalk();
    while (CAlarm* alarm =
               schedule.GetNextDueAlarm(LocalAsUtcSt(localStart), LocalAsUtcSt(localEnd))) {
        due.push_back(alarm);
    }
    return due;
}

CAlarm* Earliest(CScheduler& schedule, const SystemTime& local, FileTime* firingUtc = nullptr)
{
    SystemTime when = LocalAsUtcSt(local);
    return schedule.GetEarliestAlarm(when, firingUtc);
}

} // namespace

TEST(Schedule, EarliestOfEqualFiringsIsTheFirstInTheList)
{
    CScheduler schedule;
    EXPECT_EQ(Earliest(schedule, St(2026, 6, 2)), nullptr);
    Add(schedule, kFrequencyOnce, St(2026, 6, 2, 8));
    CAlarm* first = Add(schedule, kFrequencyEveryday, St(2026, 1, 1, 7));
    Add(schedule, kFrequencyOnce, St(2026, 6, 2, 7));
    Add(schedule, kFrequencyWorkdays, St(2026, 1, 1, 7));
    SystemTime when = LocalAsUtcSt(St(2026, 6, 2, 6)); // a Tuesday
    FileTime firingUtc = 0;
    EXPECT_EQ(schedule.GetEarliestAlarm(when, &firingUtc), first);
    EXPECT_EQ(Iso(when), "2026-06-02T07:00:00.000");
    EXPECT_EQ(firingUtc, LocalFt(St(2026, 6, 2, 7)));
}

TEST(Schedule, SwitchedOffHandledPastAndNeverFiringAlarmsAreSkipped)
{
    CScheduler schedule;
    CAlarm* off = Add(schedule, kFrequencyOnce, St(2026, 6, 2, 6, 30), false);
    CAlarm* handled = Add(schedule, kFrequencyOnce, St(2026, 6, 2, 6, 40));
    handled->m_bHandled = true;
    Add(schedule, "Weekly", St(2026, 6, 2, 6, 45));
    Add(schedule, kFrequencyOnce, St(2026, 6, 1, 23)); // already past
    Add(schedule, kFrequencyEveryday, St(2026, 6, 1), false);
    CAlarm* later = Add(schedule, kFrequencyOnce, St(2026, 6, 2, 9));
    EXPECT_EQ(Earliest(schedule, St(2026, 6, 2, 6)), later);
    EXPECT_EQ(Walk(schedule, St(2026, 6, 2, 6), St(2026, 6, 2, 10)), std::vector<CAlarm*>{later});
    EXPECT_EQ(Earliest(schedule, St(2026, 6, 2, 9, 1)), nullptr);

    schedule.ClearHandledFlags();
    EXPECT_FALSE(handled->m_bHandled);
    EXPECT_EQ(Earliest(schedule, St(2026, 6, 2, 6)), handled);
    off->m_bActive = true;
    EXPECT_EQ(Earliest(schedule, St(2026, 6, 2, 6)), off);
}

TEST(Schedule, WalkGoesInListOrderIncludesTheWindowEndsAndEndsWithNull)
{
    CScheduler schedule;
    CAlarm* a = Add(schedule, kFrequencyOnce, St(2026, 6, 2, 7, 30));
    Add(schedule, kFrequencyOnce, St(2026, 6, 2, 12));
    CAlarm* c = Add(schedule, kFrequencyOnce, St(2026, 6, 2, 7));
    EXPECT_EQ(Walk(schedule, St(2026, 6, 2, 7), St(2026, 6, 2, 8)), (std::vector<CAlarm*>{a, c}));
    // After the end the walk stays at the end until reset.
    EXPECT_EQ(
        schedule.GetNextDueAlarm(LocalAsUtcSt(St(2026, 6, 2, 7)), LocalAsUtcSt(St(2026, 6, 2, 8))),
        nullptr);
    EXPECT_EQ(Walk(schedule, St(2026, 6, 2, 6), St(2026, 6, 2, 7)), std::vector<CAlarm*>{c});
    EXPECT_TRUE(Walk(schedule, St(2026, 6, 2, 6), St(2026, 6, 2, 6, 59, 59)).empty());
}

TEST(Schedule, RemoveHandsBackWithoutDeletingAndIdsStayUnique)
{
    CScheduler schedule;
    CScheduler other;
    std::set<std::uint64_t> ids;
    for (int i = 0; i < 5; ++i) {
        ids.insert(Add(schedule, kFrequencyOnce, St(2026, 6, 2, 7 + i))->m_nId);
        ids.insert(Add(other, kFrequencyOnce, St(2026, 6, 2, i))->m_nId);
    }
    EXPECT_EQ(ids.size(), 10u);
    EXPECT_EQ(ids.count(0), 0u);
    CAlarm* b = schedule.At(1);
    b->m_strComment = "kept alive";
    // A value copy still names its original; a removed alarm is no longer found.
    const CAlarm copy = *b;
    EXPECT_EQ(schedule.FindById(copy.m_nId), b);
    EXPECT_EQ(other.FindById(copy.m_nId), nullptr);
    const std::unique_ptr<CAlarm> removed = schedule.RemoveAlarm(b);
    ASSERT_EQ(removed.get(), b);
    EXPECT_EQ(removed->m_strComment, "kept alive");
    EXPECT_EQ(schedule.FindById(copy.m_nId), nullptr);
    EXPECT_EQ(schedule.RemoveAlarm(b), nullptr);
    ASSERT_EQ(schedule.Count(), 4u);
    EXPECT_EQ(schedule.At(1)->m_time.wHour, 9);
    CAlarm* added = Add(schedule, kFrequencyOnce, St(2026, 6, 2, 10));
    EXPECT_EQ(schedule.IndexOf(added), 4);
    EXPECT_EQ(schedule.IndexOf(b), -1);

    // An alarm taken out behind a walk's place keeps the place: the next due one is not skipped.
    schedule.ResetWalk();
    const SystemTime from = LocalAsUtcSt(St(2026, 6, 2, 0));
    const SystemTime to = LocalAsUtcSt(St(2026, 6, 3, 0));
    ASSERT_EQ(schedule.GetNextDueAlarm(from, to), schedule.At(0));
    ASSERT_EQ(schedule.GetNextDueAlarm(from, to), schedule.At(1));
    CAlarm* const third = schedule.At(2);
    const std::unique_ptr<CAlarm> first = schedule.RemoveAlarm(schedule.At(0));
    EXPECT_EQ(schedule.GetNextDueAlarm(from, to), third);
}

// ---- command lines of programs ----------------------------------------------------------------

TEST(CommandLine, SplitsLikeAShellWithoutOne)
{
    using Words = std::vector<std::string>;
    EXPECT_EQ(SplitCommandLine("notepad.exe"), Words{"notepad.exe"});
    EXPECT_EQ(SplitCommandLine("  mpv\t--volume=80   /home/u/Muzyka/budzik.mp3 "),
              (Words{"mpv", "--volume=80", "/home/u/Muzyka/budzik.mp3"}));
    EXPECT_EQ(SplitCommandLine("sh -c 'echo $HOME > /tmp/x; ls \"a b\"'"),
              (Words{"sh", "-c", "echo $HOME > /tmp/x; ls \"a b\""}));
    EXPECT_EQ(SplitCommandLine(R"(notify-send "Wstawaj, \"śpiochu\"" a\ b c\\d)"),
              (Words{"notify-send", "Wstawaj, \"śpiochu\"", "a b", "c\\d"}));
    // Quotes join with what touches them; an empty pair is an empty argument.
    EXPECT_EQ(SplitCommandLine("x'y'\"z\" ''"), (Words{"xyz", ""}));
    // Inside double quotes a backslash only escapes the four special characters.
    EXPECT_EQ(SplitCommandLine(R"("a\nb\$c")"), Words{R"(a\nb$c)"});
    EXPECT_EQ(SplitCommandLine("   "), Words{});
}

TEST(CommandLine, UnterminatedQuotesAreRefused)
{
    std::string error;
    EXPECT_FALSE(SplitCommandLine("sh -c 'echo", &error));
    EXPECT_EQ(error, "a single quote is not closed");
    EXPECT_FALSE(SplitCommandLine("say \"hello\\\"", &error));
    EXPECT_EQ(error, "a double quote is not closed");
}
