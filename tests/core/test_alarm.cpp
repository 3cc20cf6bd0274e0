// The alarm model: an alarm's texts and occurrences, the list's choice of the next alarm, and the
// splitting of an alarm's command line.
#include "TestSupport.h"
#include "model/AlarmTexts.h"
#include "model/CScheduler.h"
#include "model/CommandLine.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
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

// The slow way, one local date at a time, for comparison with the closed-form search. No
// occurrence on a date two days before the asked moment's can reach it, so a repeating alarm is
// looked for from there (or from its base date).
int StepByStep(const CAlarm& alarm, FileTime from, FileTime& firing)
{
    const SystemTime& t = alarm.m_time;
    const std::int64_t baseDay = Ft(t) / kTicksPerDay;
    FileTime fromLocal = 0;
    FileTimeToLocalFileTime(from, fromLocal);
    const std::string& f = alarm.m_strFrequency;
    const bool once = f == kFrequencyOnce;
    for (std::int64_t day = once ? baseDay : std::max(baseDay, fromLocal / kTicksPerDay - 2);;
         ++day) {
        int year = 0;
        int month = 0;
        int dayOfMonth = 0;
        CivilFromDays(day, year, month, dayOfMonth);
        const int dow = DayOfWeekFromDays(day);
        const bool dayOk = once || f == kFrequencyEveryday
                           || (f == kFrequencyWorkdays && dow >= 1 && dow <= 5)
                           || (f == kFrequencyWeekend && (dow == 0 || dow == 6))
                           || (f == kFrequencyWeekly && (day - baseDay) % 7 == 0)
                           || (f == kFrequencyMonthly && dayOfMonth == t.wDay)
                           || (f == kFrequencyYearly && dayOfMonth == t.wDay && month == t.wMonth);
        FileTime utc = 0;
        if (dayOk && LocalFileTimeToFileTime(day * kTicksPerDay + Ft(t) % kTicksPerDay, utc)
            && (once || utc >= from)) {
            firing = utc;
            return utc >= from ? 1 : -1;
        }
    }
}

} // namespace

TEST(AlarmTexts, KeywordsGiveTheirTextsExactly)
{
    CAlarm alarm;
    alarm.m_strFrequency = "workdays";
    alarm.m_strType = "hibernate";
    EXPECT_EQ(alarm.GetFrequencyText() + ", " + alarm.GetTypeText(), "dni robocze, hibernacja");
    // Keywords are lower case; any other text has no display text.
    alarm.m_strFrequency = "Workdays";
    alarm.m_strType = "";
    EXPECT_EQ(alarm.GetFrequencyText() + alarm.GetTypeText(), "");
}

TEST(AlarmTexts, ActionsInFixedOrderWithSeparatorAndAllTextsTranslated)
{
    CAlarm alarm;
    EXPECT_EQ(alarm.GetActionsText(), "");
    alarm.m_bSoundActive = true;
    EXPECT_EQ(alarm.GetActionsText(), "dźwięk");
    alarm.m_bMessageActive = alarm.m_bProgramActive = true;
    EXPECT_EQ(alarm.GetActionsText(), "komunikat, dźwięk, program");

    SetTextTranslator([](const char* context, const char* source) {
        return std::string(context) + ":" + source;
    });
    alarm.m_strFrequency = kFrequencyYearly;
    const std::string frequency = alarm.GetFrequencyText();
    const std::string actions = alarm.GetActionsText();
    SetTextTranslator(nullptr);
    EXPECT_EQ(frequency, "CAlarm:rocznie");
    EXPECT_EQ(actions, "CAlarm:komunikat, CAlarm:dźwięk, CAlarm:program");
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
        {"OncePastKeepsItsMoment", kFrequencyOnce, St(2026, 5, 10, 7, 0, 0, 250),
         St(2026, 5, 10, 7, 0, 0, 251), "2026-05-10T07:00:00.250", -1},
        {"EverydayAtTheMomentItself", kFrequencyEveryday, St(2026, 5, 1, 7), St(2026, 5, 12, 7),
         "2026-05-12T07:00:00.000"},
        {"EverydayAMillisecondLaterTheNextDay", kFrequencyEveryday, St(2026, 5, 1, 7),
         St(2026, 5, 12, 7, 0, 0, 1), "2026-05-13T07:00:00.000"},
        {"EverydayNeverBeforeTheBase", kFrequencyEveryday, St(2026, 5, 1, 7), St(2026, 4, 1),
         "2026-05-01T07:00:00.000"},
        // Friday 15 May 2026 after its alarm: the next workday is Monday the 18th.
        {"WorkdaysAfterFridayMonday", kFrequencyWorkdays, St(2026, 5, 15, 7), St(2026, 5, 15, 8),
         "2026-05-18T07:00:00.000"},
        {"WeekendSundayThenNextSaturday", kFrequencyWeekend, St(2026, 5, 16, 9),
         St(2026, 5, 17, 10), "2026-05-23T09:00:00.000"},
        {"MonthlySkipsFebruary", kFrequencyMonthly, St(2026, 1, 31, 6), St(2026, 2, 1),
         "2026-03-31T06:00:00.000"},
        {"MonthlyAtTheBaseMomentItself", kFrequencyMonthly, St(2027, 1, 29, 6), St(2027, 1, 29, 6),
         "2027-01-29T06:00:00.000"},
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
    // Day 32, say: no base moment, so no firing, and no endless search.
    for (const auto& alarm :
         {NewAlarm("Once", St(2030, 1, 1)),
          NewAlarm(kFrequencyEveryday, SystemTime{2026, 1, 0, 32, 7, 0, 0, 0})}) {
        SystemTime when = entry;
        EXPECT_FALSE(alarm->CanFire()) << alarm->m_strFrequency;
        EXPECT_EQ(alarm->GetNextOccurrence(when), -1) << alarm->m_strFrequency;
        EXPECT_EQ(when, entry);
    }
}

TEST(Occurrence, ThirtyYearOldBaseGivesTheSameAsSteppingInEveryZone)
{
    std::mt19937 random(20261207);
    const auto pick = [&random](int count) { return static_cast<int>(random() % count); };
    for (int i = 0; i < 3000; ++i) {
        const int year = 1996 + pick(30);
        const int month = 1 + pick(12);
        const int day = 1 + pick(31) % DaysInMonth(year, month);
        const auto alarm =
            NewAlarm(kAllFrequencies[pick(7)], St(year, month, day, pick(24), pick(4) * 15));
        // Ask near the zone's changes too: every day of 2026, at odd minutes.
        const FileTime from = Ft(St(2026, 1, 1)) + pick(365 * 1440) * kTicksPerMinute;
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
    EXPECT_EQ(Iso(Ask(*seven, St(2026, 3, 28, 8)).when), "2026-03-29T07:00:00.000");
    EXPECT_EQ(Iso(Ask(*seven, St(2026, 10, 25, 6)).when), "2026-10-25T07:00:00.000");

    const auto gap = NewAlarm(kFrequencyEveryday, St(2026, 3, 1, 2, 30));
    EXPECT_EQ(Iso(Ask(*gap, St(2026, 3, 29, 0, 0)).when), "2026-03-29T03:30:00.000");
    EXPECT_EQ(Iso(Ask(*gap, St(2026, 3, 29, 4, 0)).when), "2026-03-30T02:30:00.000");

    const auto overlap = NewAlarm(kFrequencyEveryday, St(2026, 10, 1, 2, 30));
    FileTime firing = 0;
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

CAlarm* Earliest(CScheduler& schedule, const SystemTime& local)
{
    SystemTime when = LocalAsUtcSt(local);
    return schedule.GetEarliestAlarm(when);
}

} // namespace

TEST(Schedule, EarliestSkipsSwitchedOffHandledPastAndNeverFiringAlarmsAndPrefersTheFirstListed)
{
    CScheduler schedule;
    EXPECT_EQ(Earliest(schedule, St(2026, 6, 2)), nullptr);
    CAlarm* off = Add(schedule, kFrequencyOnce, St(2026, 6, 2, 6, 30), false);
    CAlarm* handled = Add(schedule, kFrequencyOnce, St(2026, 6, 2, 6, 40));
    handled->m_bHandled = true;
    Add(schedule, "Weekly", St(2026, 6, 2, 6, 45));
    Add(schedule, kFrequencyOnce, St(2026, 6, 1, 23)); // already past
    Add(schedule, kFrequencyEveryday, St(2026, 6, 1), false);
    Add(schedule, kFrequencyOnce, St(2026, 6, 2, 8));
    CAlarm* first = Add(schedule, kFrequencyEveryday, St(2026, 1, 1, 7));
    CAlarm* once = Add(schedule, kFrequencyOnce, St(2026, 6, 2, 7));
    CAlarm* workdays = Add(schedule, kFrequencyWorkdays, St(2026, 1, 1, 7));
    SystemTime when = LocalAsUtcSt(St(2026, 6, 2, 6)); // a Tuesday
    FileTime firingUtc = 0;
    EXPECT_EQ(schedule.GetEarliestAlarm(when, &firingUtc), first);
    EXPECT_EQ(Iso(when), "2026-06-02T07:00:00.000");
    EXPECT_EQ(firingUtc, LocalFt(St(2026, 6, 2, 7)));
    EXPECT_EQ(Walk(schedule, St(2026, 6, 2, 6), St(2026, 6, 2, 7)),
              (std::vector<CAlarm*>{first, once, workdays}));

    schedule.ClearHandledFlags();
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
    CAlarm* const next = schedule.At(2);
    const std::uint64_t id = b->m_nId;
    EXPECT_EQ(schedule.FindById(id), b);
    EXPECT_EQ(other.FindById(id), nullptr);
    const std::unique_ptr<CAlarm> removed = schedule.RemoveAlarm(b);
    ASSERT_EQ(removed.get(), b);
    EXPECT_EQ(schedule.FindById(id), nullptr);
    EXPECT_EQ(schedule.RemoveAlarm(b), nullptr);
    EXPECT_EQ(schedule.IndexOf(b), -1);
    ASSERT_EQ(schedule.Count(), 4u);
    EXPECT_EQ(schedule.IndexOf(next), 1);

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
