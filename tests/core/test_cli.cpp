// zembractl: every command run in-process on string streams, and a few runs of the real binary.
//
// The expected times are worked out by hand for Europe/Warsaw: UTC+1 in winter, UTC+2 from the
// last Sunday of March 01:00 UTC (2026-03-29) to the last Sunday of October 01:00 UTC
// (2026-10-25). tests/data/cli_alarms.zmb holds, in this order:
//   0 workdays 06:30, switched on (message "Wstawaj!", program "notepad.exe" switched off)
//   1 monthly on the 31st at 08:00, switched on (sound)
//   2 everyday 07:00, switched on (message with Polish letters and quotes)
//   3 once 2026-03-30 12:00, switched OFF (program)
//   4 an unknown frequency "fortnightly", switched on: never fires

#include "CliCommands.h"
#include "IRunningProgram.h"
#include "Json.h"
#include "TestSupport.h"
#include "model/CScheduler.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace zembra;
using test::ReadBytes;
using test::TempDir;
using Args = std::vector<std::string>;
using Strings = std::vector<std::string>;

// The expectations below are Warsaw times; ctest sets TZ, and a run by hand gets it from here.
struct WarsawZone : ::testing::Environment {
    std::optional<test::ScopedTimeZone> zone;
    void SetUp() override { zone.emplace("Europe/Warsaw"); }
    void TearDown() override { zone.reset(); }
};
[[maybe_unused]] ::testing::Environment* const g_warsaw =
    ::testing::AddGlobalTestEnvironment(new WarsawZone);

std::string Data(const char* name)
{
    return std::string(ZEMBRA_TEST_DATA_DIR) + "/" + name;
}
const std::string kList = Data("cli_alarms.zmb");

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

// A command line written as one string, its words split at spaces: LIST stands for
// tests/data/cli_alarms.zmb, EMPTY for tests/data/cli_empty.zmb.
Args Words(const std::string& line)
{
    Args args;
    std::istringstream in(line);
    for (std::string word; in >> word;) {
        args.push_back(word == "LIST" ? kList : word == "EMPTY" ? Data("cli_empty.zmb") : word);
    }
    return args;
}

// Runs zembractl in-process; with `now`, the present moment is fixed for commands that default
// to it; with `program`, a desktop program runs.
Outcome Cli(const Args& args, const char* now = nullptr, IRunningProgram* program = nullptr)
{
    CliEnvironment environment;
    environment.program = program;
    if (now != nullptr) {
        environment.now = [at = test::Ft(ParseIso(now)->time)] { return at; };
    }
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunZembractl(args, out, err, environment);
    return {code, out.str(), err.str()};
}
Outcome Cli(const std::string& line, const char* now = nullptr, IRunningProgram* program = nullptr)
{
    return Cli(Words(line), now, program);
}

::testing::AssertionResult Contains(const std::string& text, const std::string& part)
{
    if (text.find(part) != std::string::npos) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "\"" << part << "\" not found in:\n" << text;
}

// The list --json of tests/data/cli_alarms.zmb, one line.
const std::string kAlarmsJson =
    R"([{"index": 0, "active": true, "type": "wakeup", "frequency": "workdays", )"
    R"("local": "2008-03-14T06:30:00.000", "comment": "Praca", )"
    R"("message": {"active": true, "text": "Wstawaj!"}, "sound": {"active": false, "text": ""}, )"
    R"("program": {"active": false, "text": "notepad.exe"}}, )"
    R"({"index": 1, "active": true, "type": "standby", "frequency": "monthly", )"
    R"("local": "2026-01-31T08:00:00.000", "comment": "Rachunki", )"
    R"("message": {"active": false, "text": ""}, )"
    R"("sound": {"active": true, "text": "/usr/share/sounds/dzwonek.wav"}, )"
    R"("program": {"active": false, "text": ""}}, )"
    R"({"index": 2, "active": true, "type": "wakeup", "frequency": "everyday", )"
    R"("local": "2026-03-01T07:00:00.000", "comment": "Codziennie", )"
    R"("message": {"active": true, "text": "Dzień dobry, \"śpiochu\""}, )"
    R"("sound": {"active": false, "text": ""}, "program": {"active": false, "text": ""}}, )"
    R"({"index": 3, "active": false, "type": "shutdown", "frequency": "once", )"
    R"("local": "2026-03-30T12:00:00.000", "comment": "Wyłącz", )"
    R"("message": {"active": false, "text": ""}, "sound": {"active": false, "text": ""}, )"
    R"("program": {"active": true, "text": "shutdown -h now"}}, )"
    R"({"index": 4, "active": true, "type": "hibernate", "frequency": "fortnightly", )"
    R"("local": "2026-03-02T07:00:00.000", "comment": "Nieznana", )"
    R"("message": {"active": false, "text": ""}, "sound": {"active": false, "text": ""}, )"
    R"("program": {"active": false, "text": ""}}])"
    "\n";

// occurrences --from 2026-03-27T00:00 --count 3 --json of the same file. Workdays: Friday in
// winter time, then Monday and Tuesday in summer time; the monthly alarm skips April and June,
// which have no 31st; the everyday alarm crosses the change on Sunday 29 March; the switched-off
// shut-down never fires.
const char* const kOccurrences = "occurrences LIST --from 2026-03-27T00:00 --count 3 --json";
const std::string kOccurrencesJson =
    R"([{"index": 0, "active": true, "occurrences": [)"
    R"({"local": "2026-03-27T06:30:00.000", "utc": "2026-03-27T05:30:00.000Z"}, )"
    R"({"local": "2026-03-30T06:30:00.000", "utc": "2026-03-30T04:30:00.000Z"}, )"
    R"({"local": "2026-03-31T06:30:00.000", "utc": "2026-03-31T04:30:00.000Z"}]}, )"
    R"({"index": 1, "active": true, "occurrences": [)"
    R"({"local": "2026-03-31T08:00:00.000", "utc": "2026-03-31T06:00:00.000Z"}, )"
    R"({"local": "2026-05-31T08:00:00.000", "utc": "2026-05-31T06:00:00.000Z"}, )"
    R"({"local": "2026-07-31T08:00:00.000", "utc": "2026-07-31T06:00:00.000Z"}]}, )"
    R"({"index": 2, "active": true, "occurrences": [)"
    R"({"local": "2026-03-27T07:00:00.000", "utc": "2026-03-27T06:00:00.000Z"}, )"
    R"({"local": "2026-03-28T07:00:00.000", "utc": "2026-03-28T06:00:00.000Z"}, )"
    R"({"local": "2026-03-29T07:00:00.000", "utc": "2026-03-29T05:00:00.000Z"}]}, )"
    R"({"index": 3, "active": false, "occurrences": []}, )"
    R"({"index": 4, "active": true, "occurrences": []}])"
    "\n";

// One alarm's object in list --json output, or its firings in occurrences --json output.
std::string AlarmOf(const std::string& json, int index)
{
    const auto start = json.find("{\"index\": " + std::to_string(index) + ", \"active\"");
    return start == std::string::npos ? "<no alarm>"
                                      : json.substr(start, json.find("}}", start) + 2 - start);
}
std::string FiringsOf(const std::string& json, int index)
{
    const std::string list = "\"occurrences\": [";
    const auto start = json.find(list, json.find("{\"index\": " + std::to_string(index) + ", "));
    const auto from = start + list.size();
    return start == std::string::npos ? "<no alarm>"
                                      : json.substr(from, json.find(']', from) - from);
}

// The firings as the JSON writes them, from (local, utc) pairs.
std::string Firings(const std::vector<std::pair<const char*, const char*>>& pairs)
{
    std::string text;
    for (const auto& [local, utc] : pairs) {
        text += (text.empty() ? "" : ", ") + std::string(R"({"local": ")") + local
                + R"(", "utc": ")" + utc + "\"}";
    }
    return text;
}
std::string NextJson(int index, const char* local, const char* utc)
{
    return "{\"index\": " + std::to_string(index) + ", " + Firings({{local, utc}}).substr(1) + "\n";
}
const std::string kSaturday7 = NextJson(2, "2026-03-28T07:00:00.000", "2026-03-28T06:00:00.000Z");

// The alarms' own switches in list --json order, as "1" for on and "0" for off.
std::string ActiveFlags(const std::string& file)
{
    const std::string json = Cli("list " + file + " --json").out;
    std::string flags;
    for (int i = 0; json.find("{\"index\": " + std::to_string(i) + ",") != std::string::npos; ++i) {
        flags += Contains(AlarmOf(json, i), "\"active\": true, \"type\"") ? '1' : '0';
    }
    return flags;
}

TEST(CliJson, QuoteEscapesQuotesBackslashesAndControlCharacters)
{
    EXPECT_EQ(JsonQuote("a\"b\\c"), R"("a\"b\\c")");
    EXPECT_EQ(JsonQuote(std::string("\n\t\x01\x1f\x7f", 5)), R"("\u000a\u0009\u0001\u001f\u007f")");
    EXPECT_EQ(JsonQuote(std::string("a\0b", 3)), R"("a\u0000b")");
    // UTF-8 is copied byte for byte.
    EXPECT_EQ(JsonQuote("Zażółć / ⏰"), "\"Zażółć / ⏰\"");
}

// Wrong command lines exit with 2 before the file is touched, and say why.
struct UsageCase {
    const char* name;
    const char* line;
    const char* message;
};

class CliUsage : public ::testing::TestWithParam<UsageCase> {};

TEST_P(CliUsage, ExitsWith2AndSaysWhy)
{
    const Outcome r = Cli(GetParam().line);
    EXPECT_EQ(r.code, kExitUsage);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(Contains(r.err, GetParam().message));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliUsage,
    ::testing::ValuesIn(std::vector<UsageCase>{
        {"NoArguments", "", "Usage: zembractl COMMAND"},
        {"UnknownCommand", "frobnicate LIST", "zembractl: unknown command 'frobnicate'"},
        {"MissingFile", "list", "missing FILE"},
        {"ExtraArgument", "list LIST extra", "unexpected argument 'extra'"},
        {"UnknownOption", "list LIST --bogus", "unknown option '--bogus'"},
        {"OptionWithoutValue", "next LIST --at", "--at needs a value (TIME)"},
        {"OptionTwice", "next LIST --at 2026-03-28T07:00 --at 2026-03-28T07:00",
         "--at is given more than once"},
        {"DayThatDoesNotExist", "next LIST --at 2026-02-30T07:00", "--at: '2026-02-30T07:00'"},
        {"Hour24", "next LIST --at 2026-03-28T24:00", "--at: '2026-03-28T24:00'"},
        {"TimeBeforeTheFile", "occurrences /nonexistent/z.zmb --to 2026-13-01T00:00", "--to: '"},
        {"CountZero", "occurrences LIST --count 0", "--count"},
        {"DueWithoutTo", "due LIST --from 2026-03-28T07:00", "--to TIME is required"},
        {"AddWithoutAt", "add LIST", "--at TIME is required"},
        {"FrequencyIsCaseSensitive", "add LIST --at 2026-03-28T07:00 --frequency Weekly",
         "--frequency: 'Weekly' is not one of"},
        {"UnknownType", "add LIST --at 2026-03-28T07:00 --type sleep",
         "--type: 'sleep' is not one of"},
        {"MissingIndex", "remove LIST", "missing INDEX"},
        {"NegativeIndex", "disable LIST -1", "INDEX must be a number"},
        {"IndexOutOfRange", "enable LIST 5", "index 5 is out of range: valid indexes are 0 to 4"},
        {"IndexPastAnyNumber", "remove LIST 99999999999999999999999", "zembractl: "},
        {"IndexInAnEmptyList", "remove EMPTY 0", "holds no alarms"}}),
    [](const auto& c) { return std::string(c.param.name); });

// What the reading commands write for tests/data/cli_alarms.zmb, exactly.
struct ReadCase {
    const char* name;
    const char* line;
    std::string out;
};

class CliRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(CliRead, WritesExactly)
{
    const Outcome r = Cli(GetParam().line);
    EXPECT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(r.out, GetParam().out);
    EXPECT_EQ(r.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliRead,
    ::testing::ValuesIn(std::vector<ReadCase>{
        {"CheckSaysWhatTheFileIs", "check LIST", kList + ": alarm list with 5 alarms\n"},
        {"ListJsonInListOrder", "list LIST --json", kAlarmsJson},
        {"ListText", "list LIST",
         "#  On   Type       Frequency    Local time               Actions  Comment\n"
         "0  yes  wakeup     workdays     2008-03-14T06:30:00.000  message  Praca\n"
         "1  yes  standby    monthly      2026-01-31T08:00:00.000  sound    Rachunki\n"
         "2  yes  wakeup     everyday     2026-03-01T07:00:00.000  message  Codziennie\n"
         "3  no   shutdown   once         2026-03-30T12:00:00.000  program  Wyłącz\n"
         "4  yes  hibernate  fortnightly  2026-03-02T07:00:00.000  -        Nieznana\n"},
        {"ListJsonOfAnEmptyList", "list EMPTY --json", "[]\n"},
        {"ListTextOfAnEmptyList", "list EMPTY", Data("cli_empty.zmb") + ": no alarms\n"},
        // From Saturday 06:45 the everyday alarm (third in the list) comes before Monday's.
        {"NextIsTheEarliestFiring", "next LIST --at 2026-03-28T06:45 --json", kSaturday7},
        {"NextAtTheFiringItselfIsThatFiring", "next LIST --at 2026-03-28T07:00 --json", kSaturday7},
        {"NextTimeWithZIsUtc", "next LIST --at 2026-03-28T05:45Z --json", kSaturday7},
        // A millisecond after Saturday's firing: Sunday's, already in summer time.
        {"NextAMillisecondLaterIsInSummerTime", "next LIST --at 2026-03-28T06:00:00.001Z --json",
         NextJson(2, "2026-03-29T07:00:00.000", "2026-03-29T05:00:00.000Z")},
        // The switched-off one-time alarm at 12:00 on 30 March would otherwise come first.
        {"NextSkipsTheSwitchedOffAlarm", "next LIST --at 2026-03-30T11:00 --json",
         NextJson(0, "2026-03-31T06:30:00.000", "2026-03-31T04:30:00.000Z")},
        {"NextText", "next LIST --at 2026-03-28T06:45",
         "alarm 2 (everyday) fires at 2026-03-28T07:00:00.000 (2026-03-28T06:00:00.000Z): "
         "Codziennie\n"},
        {"NextInAnEmptyListIsNull", "next EMPTY --at 2026-03-28T06:45 --json", "null\n"},
        {"OccurrencesOfEveryAlarmIncludingTheThirtyFirst", kOccurrences, kOccurrencesJson},
        {"OccurrencesText",
         "occurrences LIST --from 2026-03-29T00:00 --to 2026-03-30T12:00 --count 2",
         "alarm 0 (workdays): Praca\n"
         "  2026-03-30T06:30:00.000  2026-03-30T04:30:00.000Z\n"
         "alarm 1 (monthly): Rachunki\n"
         "  no firing\n"
         "alarm 2 (everyday): Codziennie\n"
         "  2026-03-29T07:00:00.000  2026-03-29T05:00:00.000Z\n"
         "  2026-03-30T07:00:00.000  2026-03-30T05:00:00.000Z\n"
         "alarm 3 (once, off): Wyłącz\n"
         "  switched off: no firing\n"
         "alarm 4 (fortnightly): Nieznana\n"
         "  no firing\n"},
        // The switched-off one-time alarm at 12:00 lies in the window too, but is not due.
        {"DueOnlySwitchedOn", "due LIST --from 2026-03-30T06:00 --to 2026-03-30T12:30 --json",
         "[0, 2]\n"},
        {"DueOnTheThirtyFirst", "due LIST --from 2026-03-31T00:00 --to 2026-03-31T23:59 --json",
         "[0, 1, 2]\n"},
        {"DueNone", "due LIST --from 2026-03-28T08:00 --to 2026-03-28T09:00 --json", "[]\n"},
        {"DueIncludesBothEnds", "due LIST --from 2026-03-28T07:00 --to 2026-03-28T07:00 --json",
         "[2]\n"},
        {"DueInUtc", "due LIST --from 2026-03-28T05:00Z --to 2026-03-28T05:59:59.999Z --json",
         "[]\n"}}),
    [](const auto& c) { return std::string(c.param.name); });

TEST(CliUsage, HelpGoesToTheStandardOutput)
{
    const Outcome help = Cli("--help");
    EXPECT_EQ(help.code, kExitOk);
    EXPECT_EQ(help.err, "");
    EXPECT_TRUE(Contains(help.out, "Usage: zembractl COMMAND"));
}

TEST(CliFiles, UnreadableFilesExit3AndOtherTextsExit4)
{
    TempDir dir;
    const std::string missing = dir.File("missing.zmb");
    for (const char* command :
         {"list FILE", "next FILE", "occurrences FILE", "enable FILE 0",
          "due FILE --from 2026-03-31T00:00 --to 2026-03-31T23:59", "check FILE"}) {
        const auto run = [command](const std::string& file) {
            Args args = Words(command);
            args[1] = file;
            return Cli(args);
        };
        const Outcome none = run(missing);
        EXPECT_EQ(none.code, kExitFileError) << command;
        EXPECT_EQ(none.out, "") << command;
        EXPECT_EQ(none.err, "zembractl: cannot read " + missing + ": No such file or directory\n");
        EXPECT_EQ(run(dir.File("")).code, kExitFileError) << command;
        for (const char* name : {"cli_garbage.zmb", "cli_other_root.zmb"}) {
            const Outcome r = run(Data(name));
            EXPECT_EQ(r.code, kExitNotAlarmList) << command << " " << name;
            EXPECT_EQ(r.out, "");
            EXPECT_TRUE(Contains(r.err, "zembractl: " + Data(name) + ": not an alarm list"));
        }
    }
    EXPECT_FALSE(fs::exists(missing));
    std::ofstream(dir.File("blank.zmb"), std::ios::binary) << "\r\n";
    const Outcome empty = Cli("check " + dir.File("blank.zmb"));
    EXPECT_EQ(empty.code, kExitNotAlarmList);
    EXPECT_TRUE(Contains(empty.err, "the file is empty"));
}

TEST(CliNext, WithoutAtFromNowAndOfEqualFiringsTheFirstInTheList)
{
    EXPECT_EQ(Cli("next LIST --json", "2026-03-28T05:45:00Z").out, kSaturday7);
    TempDir dir;
    const std::string file = dir.File("tie.zmb");
    ASSERT_EQ(Cli("add " + file + " --at 2026-05-04T08:00 --comment first").out, "0\n");
    ASSERT_EQ(Cli("add " + file + " --at 2026-05-04T08:00 --comment second").out, "1\n");
    EXPECT_EQ(Cli("next " + file + " --at 2026-05-04T08:00:01").out, "no alarm pending\n");
    const std::string next = "next " + file + " --at 2026-05-01T00:00 --json";
    EXPECT_TRUE(Contains(Cli(next).out, "{\"index\": 0,"));
    ASSERT_EQ(Cli("disable " + file + " 0").code, kExitOk);
    EXPECT_TRUE(Contains(Cli(next).out, "{\"index\": 1,"));
}

// The spring change is in kOccurrencesJson.
TEST(CliOccurrences, FromNowTheEverydayAlarmKeepsItsLocalTimeAcrossTheAutumnChange)
{
    EXPECT_EQ(FiringsOf(Cli("occurrences LIST --count 2 --json", "2026-10-24T04:00:00Z").out, 2),
              Firings({{"2026-10-24T07:00:00.000", "2026-10-24T05:00:00.000Z"},
                       {"2026-10-25T07:00:00.000", "2026-10-25T06:00:00.000Z"}}));
}

TEST(CliOccurrences, ToIsInclusiveCountDefaultsToFiveAndOnceMeansOnce)
{
    const Outcome r =
        Cli("occurrences LIST --from 2026-03-27T00:00 --to 2026-03-30T07:00 --count 10 --json");
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(FiringsOf(r.out, 0),
              Firings({{"2026-03-27T06:30:00.000", "2026-03-27T05:30:00.000Z"},
                       {"2026-03-30T06:30:00.000", "2026-03-30T04:30:00.000Z"}}));
    EXPECT_TRUE(Contains(FiringsOf(r.out, 2), "2026-03-30T07:00:00.000"));
    EXPECT_EQ(FiringsOf(r.out, 3), "");
    const std::string five =
        FiringsOf(Cli("occurrences LIST --from 2026-03-27T00:00 --json").out, 0);
    EXPECT_TRUE(Contains(five, R"({"local": "2026-04-02T06:30:00.000")"));
    EXPECT_FALSE(Contains(five, "2026-04-03"));
}

TEST(CliAdd, CreatesTheFileWithEveryOptionAndEscapedTexts)
{
    TempDir dir;
    const std::string file = dir.File("new.zmb");
    const Outcome added =
        Cli({"add", file, "--at", "2026-07-01T09:15", "--frequency", "weekly", "--type",
             "hibernate", "--comment", "Basen", "--message", "Weź ręcznik"});
    ASSERT_EQ(added.code, kExitOk) << added.err;
    EXPECT_EQ(added.out, "0\n");
    EXPECT_EQ(added.err, "");
    EXPECT_EQ(ReadBytes(file).rfind(R"(<?xml version="1.0" encoding="windows-1250"?>)", 0), 0u);
    EXPECT_EQ(Cli("check " + file).out, file + ": alarm list with 1 alarm\n");
    // A wrong command line leaves even a file to be made alone.
    EXPECT_EQ(Cli("add " + dir.File("never.zmb") + " --at 2026-07-01T09:15 --type sleep").code,
              kExitUsage);
    EXPECT_FALSE(fs::exists(dir.File("never.zmb")));
    // 07:15Z on 2 July is 09:15 in Warsaw (summer time); the alarm keeps the local time.
    ASSERT_EQ(Cli({"add", file, "--at", "2026-07-02T07:15Z", "--sound", "/x/dzwonek.wav",
                   "--program", "cmd /c echo", "--inactive"})
                  .out,
              "1\n");
    // An option given with an empty text still switches its action on.
    ASSERT_EQ(Cli({"add", file, "--at", "2026-07-03T09:15", "--message", "", "--comment",
                   R"(Say "hi" \ to <me> & 'you')", "--program", "notify-send ⏰"})
                  .out,
              "2\n");
    const std::string json = Cli("list " + file + " --json").out;
    EXPECT_EQ(
        AlarmOf(json, 0),
        R"({"index": 0, "active": true, "type": "hibernate", "frequency": "weekly", )"
        R"("local": "2026-07-01T09:15:00.000", "comment": "Basen", )"
        R"("message": {"active": true, "text": "Weź ręcznik"}, "sound": {"active": false, "text": ""}, )"
        R"("program": {"active": false, "text": ""}})");
    EXPECT_EQ(AlarmOf(json, 1),
              R"({"index": 1, "active": false, "type": "wakeup", "frequency": "once", )"
              R"("local": "2026-07-02T09:15:00.000", "comment": "", )"
              R"("message": {"active": false, "text": ""}, )"
              R"("sound": {"active": true, "text": "/x/dzwonek.wav"}, )"
              R"("program": {"active": true, "text": "cmd /c echo"}})");
    EXPECT_EQ(AlarmOf(json, 2),
              R"({"index": 2, "active": true, "type": "wakeup", "frequency": "once", )"
              R"("local": "2026-07-03T09:15:00.000", "comment": "Say \"hi\" \\ to <me> & 'you'", )"
              R"("message": {"active": true, "text": ""}, "sound": {"active": false, "text": ""}, )"
              R"("program": {"active": true, "text": "notify-send ⏰"}})");
    EXPECT_EQ(FiringsOf(Cli("occurrences " + file + " --from 2026-07-02T00:00 --json").out, 2),
              Firings({{"2026-07-03T09:15:00.000", "2026-07-03T07:15:00.000Z"}}));
}

TEST(CliAdd, AppendsToAnExistingListAndLeavesOtherFilesUntouched)
{
    TempDir dir;
    const std::string file = dir.Copy("cli_alarms.zmb");
    const Outcome added =
        Cli("add " + file + " --at 2026-12-24T18:00 --frequency yearly --type standby");
    ASSERT_EQ(added.code, kExitOk) << added.err;
    EXPECT_EQ(added.out, "5\n");
    const std::string json = Cli("list " + file + " --json").out;
    // The first five alarms come out exactly as before.
    EXPECT_EQ(json.substr(0, kAlarmsJson.size() - 2),
              kAlarmsJson.substr(0, kAlarmsJson.size() - 2));
    EXPECT_TRUE(Contains(AlarmOf(json, 5), R"("type": "standby", "frequency": "yearly", )"
                                           R"("local": "2026-12-24T18:00:00.000")"));
    for (const char* name : {"cli_garbage.zmb", "cli_other_root.zmb"}) {
        const std::string other = dir.Copy(name);
        const std::string before = ReadBytes(other);
        const Outcome r = Cli("add " + other + " --at 2026-07-01T09:15");
        EXPECT_EQ(r.code, kExitNotAlarmList) << name;
        EXPECT_EQ(r.out, "") << name;
        EXPECT_TRUE(Contains(r.err, other));
        EXPECT_EQ(ReadBytes(other), before) << name;
    }
    // A file in a folder that does not exist cannot be written.
    const std::string nowhere = dir.File("no-such-folder/new.zmb");
    const Outcome r = Cli("add " + nowhere + " --at 2026-07-01T09:15");
    EXPECT_EQ(r.code, kExitFileError);
    EXPECT_TRUE(Contains(r.err, "zembractl: cannot write " + nowhere + ": "));
    EXPECT_FALSE(fs::exists(nowhere));
}

TEST(CliChange, EnableDisableAndRemoveRenumbersTheRest)
{
    TempDir dir;
    const std::string file = dir.Copy("cli_alarms.zmb");
    ASSERT_EQ(ActiveFlags(file), "11101");
    const Outcome off = Cli("disable " + file + " 0");
    EXPECT_EQ(off.code, kExitOk) << off.err;
    EXPECT_EQ(off.err, "");
    EXPECT_EQ(ActiveFlags(file), "01101");
    EXPECT_EQ(Cli("enable " + file + " 3").code, kExitOk);
    EXPECT_EQ(ActiveFlags(file), "01111");
    // Setting what is already set, or a bad index, changes nothing; nothing else of the alarms
    // moved.
    for (const auto& [command, code] :
         std::vector<std::pair<const char*, int>>{{"enable 3", kExitOk},
                                                  {"enable 0", kExitOk},
                                                  {"disable 3", kExitOk},
                                                  {"remove 5", kExitUsage},
                                                  {"disable 5", kExitUsage}}) {
        Args args = Words(command);
        args.insert(args.begin() + 1, file);
        EXPECT_EQ(Cli(args).code, code) << command;
    }
    EXPECT_EQ(Cli("list " + file + " --json").out, kAlarmsJson);

    for (const char* index : {"1", "3", "0"}) {
        EXPECT_EQ(Cli("remove " + file + " " + index).code, kExitOk) << index;
    }
    const std::string json = Cli("list " + file + " --json").out;
    EXPECT_TRUE(Contains(AlarmOf(json, 0), "\"comment\": \"Codziennie\""));
    EXPECT_TRUE(Contains(AlarmOf(json, 1), "\"comment\": \"Wyłącz\""));
    EXPECT_EQ(AlarmOf(json, 2), "<no alarm>");
    EXPECT_EQ(Cli("remove " + file + " 0").code, kExitOk);
    EXPECT_EQ(Cli("remove " + file + " 0").code, kExitOk);
    EXPECT_EQ(Cli("list " + file + " --json").out, "[]\n");
    EXPECT_EQ(Cli("check " + file).code, kExitOk);
}

// ---- the real binary --------------------------------------------------------------------------

// Runs zembractl as its own process with the given zone, its output collected through files. A
// profile of its own: `add --program` approves what it adds in the settings. No session bus: no
// desktop program is asked. The arguments used here hold no single quote.
Outcome RunBinary(const std::string& line, const char* zone = "Europe/Warsaw")
{
    TempDir dir;
    const auto quote = [](const std::string& text) { return "'" + text + "'"; };
    std::string command = "TZ=" + quote(zone) + " XDG_CONFIG_HOME=" + quote(dir.File("config"))
                          + " DBUS_SESSION_BUS_ADDRESS=" + quote("unix:path=" + dir.File("no-bus"))
                          + " " + quote(ZEMBRACTL_PATH);
    for (const auto& arg : Words(line)) {
        command += " " + quote(arg);
    }
    command += " </dev/null >" + quote(dir.File("out")) + " 2>" + quote(dir.File("err"));
    const int status = std::system(command.c_str());
    return {status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1,
            ReadBytes(dir.File("out")), ReadBytes(dir.File("err"))};
}

TEST(CliBinary, ExitCodesStreamsAndTheProcesssZone)
{
    const Outcome list = RunBinary("list LIST --json");
    EXPECT_EQ(list.code, kExitOk) << list.err;
    EXPECT_EQ(list.out, kAlarmsJson);
    EXPECT_EQ(list.err, "");
    EXPECT_EQ(RunBinary(kOccurrences).out, kOccurrencesJson);
    // The file holds UTC times; in UTC they are the local times too.
    EXPECT_EQ(RunBinary("next LIST --at 2026-03-28T05:45 --json", "UTC").out,
              NextJson(2, "2026-03-28T06:00:00.000", "2026-03-28T06:00:00.000Z"));
    const Outcome none = RunBinary("");
    EXPECT_EQ(none.code, kExitUsage);
    EXPECT_EQ(none.out, "");
    EXPECT_TRUE(Contains(none.err, "Usage: zembractl COMMAND"));
    EXPECT_EQ(RunBinary("check /nonexistent/zembra.zmb").code, kExitFileError);
    EXPECT_EQ(RunBinary("check " + Data("cli_garbage.zmb")).code, kExitNotAlarmList);
}

// Writers of one file take turns: none of a dozen at once loses another's alarm.
TEST(CliBinary, ConcurrentAddsKeepEveryAlarm)
{
    TempDir dir;
    const std::string file = dir.File("shared.zmb");
    ASSERT_EQ(RunBinary("add " + file + " --at 2026-03-28T07:00 --comment first").code, kExitOk);
    constexpr int kWriters = 12;
    const std::string script =
        "for i in $(seq " + std::to_string(kWriters)
        + "); do DBUS_SESSION_BUS_ADDRESS=unix:path=" + dir.File("no-bus") + " " + ZEMBRACTL_PATH
        + " add " + file + " --at 2026-03-28T08:00 --comment \"writer $i\" >/dev/null & done; wait";
    ASSERT_EQ(std::system(script.c_str()), 0);
    CScheduler list;
    ASSERT_EQ(list.LoadFromFile(file), 0);
    EXPECT_EQ(list.Count(), std::size_t{kWriters + 1});
    EXPECT_FALSE(fs::exists(file + ".lock"));
}

// ---- the running desktop program --------------------------------------------------------------

// A desktop program with a list open, recording what it was asked; every change gets `refusal`
// as its reply (Done unless a test says otherwise).
class FakeProgram : public IRunningProgram {
public:
    explicit FakeProgram(std::optional<State> list = std::nullopt)
        : open(std::move(list))
    {
    }
    std::optional<State> open;
    ProgramReply refusal;
    Strings calls;

    std::optional<State> OpenList() override { return open; }
    ProgramReply ListAlarms(std::vector<CAlarm>& alarms) override
    {
        alarms.resize(1);
        alarms[0].m_time = ParseIso("2026-03-28T07:00")->time;
        alarms[0].m_strFrequency = kFrequencyEveryday;
        alarms[0].m_strType = kTypeWakeup;
        alarms[0].m_strComment = "in the window";
        alarms[0].m_bActive = true;
        return Asked("list");
    }
    ProgramReply NextAlarm(std::optional<ProgramNextAlarm>& next) override
    {
        next = ProgramNextAlarm{0, "everyday", "in the window", "2026-03-28T07:00:00.000",
                                "2026-03-28T06:00:00.000Z"};
        return Asked("next");
    }
    ProgramReply AddAlarm(const std::string& time, const CAlarm& alarm, int& index) override
    {
        index = 7;
        return Changed("add " + time + " " + alarm.m_strComment + (alarm.m_bActive ? "" : " off"));
    }
    ProgramReply RemoveAlarm(int index) override
    {
        return Changed("remove " + std::to_string(index));
    }
    ProgramReply SetAlarmActive(int index, bool active) override
    {
        return Changed("switch " + std::to_string(index) + (active ? " on" : " off"));
    }
    ProgramReply Save() override { return Asked("save"); }
    ProgramReply Show() override { return Asked("show"); }
    ProgramReply Silence(bool& wasRinging) override
    {
        wasRinging = true;
        return Asked("silence");
    }
    ProgramReply Snooze(unsigned minutes) override
    {
        return Asked("snooze " + std::to_string(minutes));
    }

private:
    ProgramReply Changed(const std::string& call)
    {
        calls.push_back(call);
        return refusal;
    }
    ProgramReply Asked(const std::string& call)
    {
        calls.push_back(call);
        return open ? ProgramReply{}
                    : ProgramReply{ProgramReply::Kind::NotRunning, "Zembra is not running"};
    }
};

struct ThroughProgramCase {
    const char* name;
    const char* line; // FILE stands for the list
    const char* call;
    std::string out;
};

class CliThroughProgram : public ::testing::TestWithParam<ThroughProgramCase> {};

// While the desktop program has FILE open, the list is changed and read there, and the file is
// left to the program's save, which is asked for unless the window holds unsaved changes.
TEST_P(CliThroughProgram, GoesThroughTheProgram)
{
    const ThroughProgramCase& c = GetParam();
    TempDir dir;
    const std::string file = dir.Copy("cli_alarms.zmb");
    const std::string before = ReadBytes(file);
    Args args = Words(c.line);
    args[1] = file;
    const bool changes = args[0] != "list" && args[0] != "next";
    for (const bool unsaved : {false, true}) {
        // Named another way, it is the same file.
        FakeProgram program(IRunningProgram::State{dir.File("./cli_alarms.zmb"), unsaved});
        const Outcome r = Cli(args, nullptr, &program);
        EXPECT_EQ(r.code, kExitOk) << r.err;
        EXPECT_EQ(r.out, c.out);
        Strings calls{c.call};
        if (changes && !unsaved) {
            calls.push_back("save");
        }
        EXPECT_EQ(program.calls, calls) << (unsaved ? "with unsaved changes" : "saved");
        EXPECT_EQ(r.err.empty(), !(changes && unsaved)) << r.err;
        EXPECT_EQ(ReadBytes(file), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliThroughProgram,
    ::testing::ValuesIn(std::vector<ThroughProgramCase>{
        {"add", "add FILE --at 2026-03-28T09:15 --comment x --inactive",
         "add 2026-03-28T09:15 x off", "7\n"},
        {"remove", "remove FILE 3", "remove 3", ""},
        {"enable", "enable FILE 4", "switch 4 on", ""},
        {"disable", "disable FILE 0", "switch 0 off", ""},
        {"list", "list FILE", "list",
         "#  On   Type    Frequency  Local time               Actions  Comment\n"
         "0  yes  wakeup  everyday   2026-03-28T07:00:00.000  -        in the window\n"},
        {"next", "next FILE --json", "next",
         NextJson(0, "2026-03-28T07:00:00.000", "2026-03-28T06:00:00.000Z")}}),
    [](const auto& c) { return std::string(c.param.name); });

TEST(CliProgram, AnotherListOrNoProgramLeavesTheFileToZembractl)
{
    TempDir dir;
    const std::string file = dir.Copy("cli_alarms.zmb");
    FakeProgram other(IRunningProgram::State{dir.File("other.zmb"), false});
    FakeProgram none;
    for (FakeProgram* program : {&other, &none}) {
        EXPECT_EQ(Cli("disable " + file + " 0", nullptr, program).code, kExitOk);
        EXPECT_EQ(program->calls, Strings{});
    }
    EXPECT_EQ(ActiveFlags(file), "01101");
}

TEST(CliProgram, ARefusalOfTheProgramIsSaidWithItsStatus)
{
    TempDir dir;
    const std::string file = dir.Copy("cli_alarms.zmb");
    FakeProgram program(IRunningProgram::State{file, false});
    program.refusal = {ProgramReply::Kind::BadArgument, "index 9 is out of range"};
    const Outcome r = Cli("remove " + file + " 9", nullptr, &program);
    EXPECT_EQ(r.code, kExitUsage);
    EXPECT_EQ(r.err, "zembractl: remove: index 9 is out of range\n");
    EXPECT_EQ(program.calls, Strings{"remove 9"});
}

TEST(CliProgram, SilenceSnoozeAndShowActOnTheProgram)
{
    const IRunningProgram::State anyList{"", false};
    FakeProgram idle(anyList);
    for (const char* line : {"snooze 0", "snooze 1441", "snooze 5m"}) {
        const Outcome r = Cli(line, nullptr, &idle);
        EXPECT_EQ(r.code, kExitUsage) << line;
        EXPECT_TRUE(Contains(r.err, "MINUTES must be a whole number from 1 to 1440"));
    }
    EXPECT_EQ(Cli("silence extra", nullptr, &idle).code, kExitUsage);
    EXPECT_EQ(idle.calls, Strings{});
    for (const auto& [line, call, out] :
         std::vector<std::tuple<std::string, std::string, std::string>>{
             {"silence", "silence", "alarm silenced\n"},
             {"snooze", "snooze 0", "alarm snoozed\n"},
             {"snooze 10", "snooze 10", "alarm snoozed\n"},
             {"show", "show", ""}}) {
        FakeProgram running(anyList);
        const Outcome done = Cli(line, nullptr, &running);
        EXPECT_EQ(done.code, kExitOk) << line << done.err;
        EXPECT_EQ(done.out, out);
        EXPECT_EQ(running.calls, Strings{call});
        FakeProgram gone;
        const Outcome none = Cli(line, nullptr, &gone);
        EXPECT_EQ(none.code, kExitNoProgram) << line;
        EXPECT_EQ(none.err, "zembractl: " + Words(line)[0] + ": Zembra is not running\n");
        EXPECT_EQ(Cli(line).code, kExitInternal) << "a build that cannot reach the program";
    }
}

} // namespace
