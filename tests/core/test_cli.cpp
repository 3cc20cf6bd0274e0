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
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using zembra::kExitFileError;
using zembra::kExitInternal;
using zembra::kExitNoProgram;
using zembra::kExitNotAlarmList;
using zembra::kExitOk;
using zembra::kExitUsage;
using zembra::test::ReadBytes;
using zembra::test::TempDir;

// The expectations below are Warsaw times; ctest sets TZ, and a run by hand gets it from here.
class WarsawZone : public ::testing::Environment {
public:
    void SetUp() override
    {
        m_zone = std::make_unique<zembra::test::ScopedTimeZone>("Europe/Warsaw");
    }
    void TearDown() override { m_zone.reset(); }

private:
    std::unique_ptr<zembra::test::ScopedTimeZone> m_zone;
};
[[maybe_unused]] ::testing::Environment* const g_warsaw =
    ::testing::AddGlobalTestEnvironment(new WarsawZone);

std::string Data(const char* name)
{
    return std::string(ZEMBRA_TEST_DATA_DIR) + "/" + name;
}

struct Result {
    int code = -1;
    std::string out;
    std::string err;
};

// Runs zembractl in-process; with `now`, the present moment is fixed for commands that default
// to it; with `program`, a desktop program runs.
Result Cli(const std::vector<std::string>& args, zembra::FileTime now = 0,
           zembra::IRunningProgram* program = nullptr)
{
    zembra::CliEnvironment environment;
    environment.program = program;
    if (now != 0) {
        environment.now = [now] { return now; };
    }
    std::ostringstream out;
    std::ostringstream err;
    Result result;
    result.code = zembra::RunZembractl(args, out, err, environment);
    result.out = out.str();
    result.err = err.str();
    return result;
}

zembra::FileTime UtcFt(const char* iso)
{
    const auto parsed = zembra::ParseIso(iso);
    zembra::FileTime ft = 0;
    if (!parsed || !parsed->utc || !zembra::SystemTimeToFileTime(parsed->time, ft)) {
        throw std::invalid_argument(iso);
    }
    return ft;
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

// One alarm's object in list --json output.
std::string AlarmOf(const std::string& json, int index)
{
    const auto start = json.find("{\"index\": " + std::to_string(index) + ", \"active\"");
    return start == std::string::npos ? "<no alarm>"
                                      : json.substr(start, json.find("}}", start) + 2 - start);
}

// One alarm's firings in occurrences --json output: the text between its brackets.
std::string FiringsOf(const std::string& json, int index)
{
    const std::string head = "{\"index\": " + std::to_string(index) + ", \"active\": ";
    auto start = json.find(head);
    if (start != std::string::npos) {
        start = json.find("\"occurrences\": [", start);
    }
    const std::string list = "\"occurrences\": [";
    if (start == std::string::npos) {
        return "<no alarm>";
    }
    const auto from = start + list.size();
    return json.substr(from, json.find(']', from) - from);
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

// ---- JSON writer ------------------------------------------------------------------------------

TEST(CliJson, QuoteEscapesQuotesBackslashesAndControlCharacters)
{
    EXPECT_EQ(zembra::JsonQuote("a\"b\\c"), R"("a\"b\\c")");
    EXPECT_EQ(zembra::JsonQuote(std::string("\n\t\x01\x1f\x7f", 5)),
              R"("\u000a\u0009\u0001\u001f\u007f")");
    EXPECT_EQ(zembra::JsonQuote(std::string("a\0b", 3)), R"("a\u0000b")");
    // UTF-8 is copied byte for byte.
    EXPECT_EQ(zembra::JsonQuote("Zażółć / ⏰"), "\"Zażółć / ⏰\"");
}

// ---- usage ------------------------------------------------------------------------------------

TEST(CliUsage, NoArgumentsHelpAndUnknownCommand)
{
    const Result none = Cli({});
    EXPECT_EQ(none.code, kExitUsage);
    EXPECT_EQ(none.out, "");
    EXPECT_TRUE(Contains(none.err, "Usage: zembractl COMMAND"));

    const Result help = Cli({"--help"});
    EXPECT_EQ(help.code, kExitOk);
    EXPECT_EQ(help.err, "");
    EXPECT_TRUE(Contains(help.out, "Usage: zembractl COMMAND"));

    const Result unknown = Cli({"frobnicate", Data("cli_alarms.zmb")});
    EXPECT_EQ(unknown.code, kExitUsage);
    EXPECT_TRUE(Contains(unknown.err, "zembractl: unknown command 'frobnicate'"));
}

TEST(CliUsage, WrongCommandLinesExit2BeforeTouchingTheFile)
{
    const std::string file = Data("cli_alarms.zmb");
    TempDir dir;
    const std::string fresh = dir.File("never.zmb");
    const std::string at = "2026-03-28T07:00";
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases{
        {{"list"}, "missing FILE"},
        {{"list", file, "extra"}, "unexpected argument 'extra'"},
        {{"list", file, "--bogus"}, "unknown option '--bogus'"},
        {{"next", file, "--at"}, "--at needs a value (TIME)"},
        {{"next", file, "--at", at, "--at", at}, "--at is given more than once"},
        {{"next", file, "--at", "2026-02-30T07:00"}, "--at: '2026-02-30T07:00'"},
        {{"next", file, "--at", "2026-03-28T24:00"}, "--at: '2026-03-28T24:00'"},
        {{"occurrences", "/nonexistent/zembra.zmb", "--to", "2026-13-01T00:00"}, "--to: '"},
        {{"occurrences", file, "--count", "0"}, "--count"},
        {{"due", file, "--from", at}, "--to TIME is required"},
        {{"add", file}, "--at TIME is required"},
        {{"add", fresh, "--at", at, "--frequency", "Weekly"},
         "--frequency: 'Weekly' is not one of"},
        {{"add", fresh, "--at", at, "--type", "sleep"}, "--type: 'sleep' is not one of"},
        {{"remove", file}, "missing INDEX"},
        {{"disable", file, "-1"}, "INDEX must be a number"},
        {{"enable", file, "5"}, "index 5 is out of range: valid indexes are 0 to 4"},
        {{"remove", Data("cli_empty.zmb"), "0"}, "holds no alarms"},
    };
    for (const auto& c : cases) {
        const Result r = Cli(c.args);
        EXPECT_EQ(r.code, kExitUsage) << c.message;
        EXPECT_EQ(r.out, "") << c.message;
        EXPECT_TRUE(Contains(r.err, c.message));
    }
    EXPECT_FALSE(fs::exists(fresh));
}

// ---- files that cannot be used ----------------------------------------------------------------

TEST(CliFiles, UnreadableFilesExit3AndOtherTextsExit4)
{
    TempDir dir;
    const std::string missing = dir.File("missing.zmb");
    const std::vector<std::vector<std::string>> commands{
        {"list"},        {"next"},
        {"occurrences"}, {"due", "--from", "2026-03-31T00:00", "--to", "2026-03-31T23:59"},
        {"enable", "0"}, {"check"}};
    for (const auto& command : commands) {
        const auto run = [&command](const std::string& file) {
            std::vector<std::string> args{command[0], file};
            args.insert(args.end(), command.begin() + 1, command.end());
            return Cli(args);
        };
        const Result none = run(missing);
        EXPECT_EQ(none.code, kExitFileError) << command[0];
        EXPECT_EQ(none.out, "") << command[0];
        EXPECT_EQ(none.err, "zembractl: cannot read " + missing + ": No such file or directory\n");
        EXPECT_EQ(run(dir.File("")).code, kExitFileError) << command[0];
        for (const char* name : {"cli_garbage.zmb", "cli_other_root.zmb"}) {
            const Result r = run(Data(name));
            EXPECT_EQ(r.code, kExitNotAlarmList) << command[0] << " " << name;
            EXPECT_EQ(r.out, "");
            EXPECT_TRUE(Contains(r.err, "zembractl: " + Data(name) + ": not an alarm list"));
        }
    }
    EXPECT_FALSE(fs::exists(missing));
}

TEST(CliFiles, CheckSaysWhatTheFileIs)
{
    const Result r = Cli({"check", Data("cli_alarms.zmb")});
    EXPECT_EQ(r.code, kExitOk);
    EXPECT_EQ(r.out, Data("cli_alarms.zmb") + ": alarm list with 5 alarms\n");
    EXPECT_EQ(r.err, "");

    TempDir dir;
    const std::string blank = dir.File("blank.zmb");
    std::ofstream(blank, std::ios::binary) << "\r\n";
    const Result empty = Cli({"check", blank});
    EXPECT_EQ(empty.code, kExitNotAlarmList);
    EXPECT_TRUE(Contains(empty.err, "the file is empty"));
}

// ---- list -------------------------------------------------------------------------------------

TEST(CliList, JsonAndTextInListOrder)
{
    const Result r = Cli({"list", Data("cli_alarms.zmb"), "--json"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, kAlarmsJson);

    EXPECT_EQ(Cli({"list", Data("cli_alarms.zmb")}).out,
              "#  On   Type       Frequency    Local time               Actions  Comment\n"
              "0  yes  wakeup     workdays     2008-03-14T06:30:00.000  message  Praca\n"
              "1  yes  standby    monthly      2026-01-31T08:00:00.000  sound    Rachunki\n"
              "2  yes  wakeup     everyday     2026-03-01T07:00:00.000  message  Codziennie\n"
              "3  no   shutdown   once         2026-03-30T12:00:00.000  program  Wyłącz\n"
              "4  yes  hibernate  fortnightly  2026-03-02T07:00:00.000  -        Nieznana\n");

    EXPECT_EQ(Cli({"list", Data("cli_empty.zmb"), "--json"}).out, "[]\n");
    EXPECT_EQ(Cli({"list", Data("cli_empty.zmb")}).out, Data("cli_empty.zmb") + ": no alarms\n");
}

// ---- next -------------------------------------------------------------------------------------

TEST(CliNext, FindsTheEarliestSwitchedOnFiring)
{
    struct Case {
        const char* at;
        std::string expected;
    };
    const std::vector<Case> cases{
        // From Saturday 06:45 the everyday alarm (third in the list) comes before Monday's.
        {"2026-03-28T06:45", NextJson(2, "2026-03-28T07:00:00.000", "2026-03-28T06:00:00.000Z")},
        // A firing exactly at the time counts, and times with Z are UTC.
        {"2026-03-28T07:00", NextJson(2, "2026-03-28T07:00:00.000", "2026-03-28T06:00:00.000Z")},
        {"2026-03-28T05:45Z", NextJson(2, "2026-03-28T07:00:00.000", "2026-03-28T06:00:00.000Z")},
        // A millisecond after Saturday's firing: Sunday's, already in summer time.
        {"2026-03-28T06:00:00.001Z",
         NextJson(2, "2026-03-29T07:00:00.000", "2026-03-29T05:00:00.000Z")},
        // The switched-off one-time alarm at 12:00 on 30 March would otherwise come first.
        {"2026-03-30T11:00", NextJson(0, "2026-03-31T06:30:00.000", "2026-03-31T04:30:00.000Z")},
    };
    for (const auto& c : cases) {
        const Result r = Cli({"next", Data("cli_alarms.zmb"), "--at", c.at, "--json"});
        EXPECT_EQ(r.code, kExitOk) << r.err;
        EXPECT_EQ(r.out, c.expected) << c.at;
    }
    EXPECT_EQ(Cli({"next", Data("cli_alarms.zmb"), "--at", "2026-03-28T06:45"}).out,
              "alarm 2 (everyday) fires at 2026-03-28T07:00:00.000 (2026-03-28T06:00:00.000Z): "
              "Codziennie\n");
    // Without --at, the present moment.
    EXPECT_EQ(Cli({"next", Data("cli_alarms.zmb"), "--json"}, UtcFt("2026-03-28T05:45:00Z")).out,
              cases[0].expected);
}

TEST(CliNext, NothingPendingAndTies)
{
    EXPECT_EQ(Cli({"next", Data("cli_empty.zmb"), "--at", "2026-03-28T06:45", "--json"}).out,
              "null\n");
    TempDir dir;
    const std::string file = dir.File("tie.zmb");
    ASSERT_EQ(Cli({"add", file, "--at", "2026-05-04T08:00", "--comment", "first"}).out, "0\n");
    ASSERT_EQ(Cli({"add", file, "--at", "2026-05-04T08:00", "--comment", "second"}).out, "1\n");
    EXPECT_EQ(Cli({"next", file, "--at", "2026-05-04T08:00:01"}).out, "no alarm pending\n");
    EXPECT_EQ(Cli({"next", file, "--at", "2026-05-04T08:00:01", "--json"}).out, "null\n");
    // Of equal firings the first in the list wins.
    const std::vector<std::string> next{"next", file, "--at", "2026-05-01T00:00", "--json"};
    EXPECT_TRUE(Contains(Cli(next).out, "{\"index\": 0,"));
    ASSERT_EQ(Cli({"disable", file, "0"}).code, kExitOk);
    EXPECT_TRUE(Contains(Cli(next).out, "{\"index\": 1,"));
}

// ---- occurrences ------------------------------------------------------------------------------

TEST(CliOccurrences, KnownDatesForEveryAlarmIncludingTheThirtyFirst)
{
    const Result r = Cli({"occurrences", Data("cli_alarms.zmb"), "--from", "2026-03-27T00:00",
                          "--count", "3", "--json"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, kOccurrencesJson);
}

TEST(CliOccurrences, EverydayAlarmKeepsItsLocalTimeAcrossBothChanges)
{
    const Result spring = Cli({"occurrences", Data("cli_alarms.zmb"), "--from", "2026-03-28T00:00",
                               "--count", "3", "--json"});
    EXPECT_EQ(FiringsOf(spring.out, 2),
              Firings({{"2026-03-28T07:00:00.000", "2026-03-28T06:00:00.000Z"},
                       {"2026-03-29T07:00:00.000", "2026-03-29T05:00:00.000Z"},
                       {"2026-03-30T07:00:00.000", "2026-03-30T05:00:00.000Z"}}));
    // Without --from, the present moment.
    const Result autumn = Cli({"occurrences", Data("cli_alarms.zmb"), "--count", "2", "--json"},
                              UtcFt("2026-10-24T04:00:00Z"));
    EXPECT_EQ(FiringsOf(autumn.out, 2),
              Firings({{"2026-10-24T07:00:00.000", "2026-10-24T05:00:00.000Z"},
                       {"2026-10-25T07:00:00.000", "2026-10-25T06:00:00.000Z"}}));
}

TEST(CliOccurrences, ToIsInclusiveCountDefaultsToFiveAndOnceMeansOnce)
{
    const Result r = Cli({"occurrences", Data("cli_alarms.zmb"), "--from", "2026-03-27T00:00",
                          "--to", "2026-03-30T07:00", "--count", "10", "--json"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(FiringsOf(r.out, 0),
              Firings({{"2026-03-27T06:30:00.000", "2026-03-27T05:30:00.000Z"},
                       {"2026-03-30T06:30:00.000", "2026-03-30T04:30:00.000Z"}}));
    EXPECT_TRUE(Contains(FiringsOf(r.out, 2), "2026-03-30T07:00:00.000"));
    EXPECT_EQ(FiringsOf(r.out, 3), "");

    const Result five =
        Cli({"occurrences", Data("cli_alarms.zmb"), "--from", "2026-03-27T00:00", "--json"});
    const std::string workdays = FiringsOf(five.out, 0);
    EXPECT_TRUE(Contains(workdays, R"({"local": "2026-04-02T06:30:00.000")"));
    EXPECT_FALSE(Contains(workdays, "2026-04-03"));
    // The shut-down is switched off: it never fires, as the program would never ring it.
    EXPECT_EQ(FiringsOf(five.out, 3), "");
    EXPECT_TRUE(Contains(five.out, R"({"index": 3, "active": false, "occurrences": []})"));
}

TEST(CliOccurrences, Text)
{
    const Result r = Cli({"occurrences", Data("cli_alarms.zmb"), "--from", "2026-03-29T00:00",
                          "--to", "2026-03-30T12:00", "--count", "2"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(r.out, "alarm 0 (workdays): Praca\n"
                     "  2026-03-30T06:30:00.000  2026-03-30T04:30:00.000Z\n"
                     "alarm 1 (monthly): Rachunki\n"
                     "  no firing\n"
                     "alarm 2 (everyday): Codziennie\n"
                     "  2026-03-29T07:00:00.000  2026-03-29T05:00:00.000Z\n"
                     "  2026-03-30T07:00:00.000  2026-03-30T05:00:00.000Z\n"
                     "alarm 3 (once, off): Wyłącz\n"
                     "  switched off: no firing\n"
                     "alarm 4 (fortnightly): Nieznana\n"
                     "  no firing\n");
}

// ---- due --------------------------------------------------------------------------------------

TEST(CliDue, ListsTheSwitchedOnAlarmsDueInTheWindow)
{
    const std::vector<std::pair<std::pair<const char*, const char*>, const char*>> cases{
        // The switched-off one-time alarm at 12:00 lies in the window too, but is not due.
        {{"2026-03-30T06:00", "2026-03-30T12:30"}, "[0, 2]\n"},
        {{"2026-03-31T00:00", "2026-03-31T23:59"}, "[0, 1, 2]\n"},
        {{"2026-03-28T08:00", "2026-03-28T09:00"}, "[]\n"},
        // Both ends are included.
        {{"2026-03-28T07:00", "2026-03-28T07:00"}, "[2]\n"},
        {{"2026-03-28T05:00Z", "2026-03-28T05:59:59.999Z"}, "[]\n"},
    };
    for (const auto& [window, expected] : cases) {
        const Result r = Cli({"due", Data("cli_alarms.zmb"), "--from", window.first, "--to",
                              window.second, "--json"});
        EXPECT_EQ(r.code, kExitOk) << r.err;
        EXPECT_EQ(r.out, expected) << window.first;
    }
}

// ---- add --------------------------------------------------------------------------------------

TEST(CliAdd, CreatesTheFileAndListShowsTheAlarm)
{
    TempDir dir;
    const std::string file = dir.File("new.zmb");
    const Result added =
        Cli({"add", file, "--at", "2026-07-01T09:15", "--frequency", "weekly", "--type",
             "hibernate", "--comment", "Basen", "--message", "Weź ręcznik"});
    ASSERT_EQ(added.code, kExitOk) << added.err;
    EXPECT_EQ(added.out, "0\n");
    EXPECT_EQ(added.err, "");
    EXPECT_EQ(ReadBytes(file).rfind(R"(<?xml version="1.0" encoding="windows-1250"?>)", 0), 0u);

    EXPECT_EQ(
        Cli({"list", file, "--json"}).out,
        R"([{"index": 0, "active": true, "type": "hibernate", "frequency": "weekly", )"
        R"("local": "2026-07-01T09:15:00.000", "comment": "Basen", )"
        R"("message": {"active": true, "text": "Weź ręcznik"}, "sound": {"active": false, "text": ""}, )"
        R"("program": {"active": false, "text": ""}}])"
        "\n");
    EXPECT_EQ(Cli({"check", file}).out, file + ": alarm list with 1 alarm\n");
}

TEST(CliAdd, DefaultsUtcTimeAndEscapedTexts)
{
    TempDir dir;
    const std::string file = dir.File("utc.zmb");
    // 07:15Z on 1 July is 09:15 in Warsaw (summer time); the alarm keeps the local time.
    const Result added = Cli({"add", file, "--at", "2026-07-01T07:15Z", "--sound", "/x/dzwonek.wav",
                              "--program", "cmd /c echo", "--inactive"});
    ASSERT_EQ(added.code, kExitOk) << added.err;
    // An option given with an empty text still switches its action on.
    ASSERT_EQ(Cli({"add", file, "--at", "2026-07-02T09:15", "--message", "", "--comment",
                   R"(Say "hi" \ to <me> & 'you')", "--program", "notify-send ⏰"})
                  .out,
              "1\n");
    const std::string json = Cli({"list", file, "--json"}).out;
    EXPECT_EQ(AlarmOf(json, 0),
              R"({"index": 0, "active": false, "type": "wakeup", "frequency": "once", )"
              R"("local": "2026-07-01T09:15:00.000", "comment": "", )"
              R"("message": {"active": false, "text": ""}, )"
              R"("sound": {"active": true, "text": "/x/dzwonek.wav"}, )"
              R"("program": {"active": true, "text": "cmd /c echo"}})");
    EXPECT_EQ(AlarmOf(json, 1),
              R"({"index": 1, "active": true, "type": "wakeup", "frequency": "once", )"
              R"("local": "2026-07-02T09:15:00.000", "comment": "Say \"hi\" \\ to <me> & 'you'", )"
              R"("message": {"active": true, "text": ""}, "sound": {"active": false, "text": ""}, )"
              R"("program": {"active": true, "text": "notify-send ⏰"}})");
    EXPECT_EQ(FiringsOf(Cli({"occurrences", file, "--from", "2026-06-30T00:00", "--json"}).out, 1),
              Firings({{"2026-07-02T09:15:00.000", "2026-07-02T07:15:00.000Z"}}));
}

TEST(CliAdd, AppendsToAnExistingListLeavingTheOthersAlone)
{
    TempDir dir;
    const std::string file = dir.Copy("cli_alarms.zmb");
    const Result added = Cli(
        {"add", file, "--at", "2026-12-24T18:00", "--frequency", "yearly", "--type", "standby"});
    ASSERT_EQ(added.code, kExitOk) << added.err;
    EXPECT_EQ(added.out, "5\n");
    const std::string json = Cli({"list", file, "--json"}).out;
    // The first five alarms come out exactly as before.
    EXPECT_EQ(json.substr(0, kAlarmsJson.size() - 2),
              kAlarmsJson.substr(0, kAlarmsJson.size() - 2));
    EXPECT_TRUE(Contains(AlarmOf(json, 5), R"("type": "standby", "frequency": "yearly", )"
                                           R"("local": "2026-12-24T18:00:00.000")"));
}

TEST(CliAdd, LeavesAFileThatIsNotAnAlarmListUntouched)
{
    TempDir dir;
    for (const char* name : {"cli_garbage.zmb", "cli_other_root.zmb"}) {
        const std::string file = dir.Copy(name);
        const std::string before = ReadBytes(file);
        const Result r = Cli({"add", file, "--at", "2026-07-01T09:15"});
        EXPECT_EQ(r.code, kExitNotAlarmList) << name;
        EXPECT_EQ(r.out, "") << name;
        EXPECT_TRUE(Contains(r.err, file));
        EXPECT_EQ(ReadBytes(file), before) << name;
    }
    // A file in a folder that does not exist cannot be written.
    const std::string nowhere = dir.File("no-such-folder/new.zmb");
    const Result r = Cli({"add", nowhere, "--at", "2026-07-01T09:15"});
    EXPECT_EQ(r.code, kExitFileError);
    EXPECT_TRUE(Contains(r.err, "zembractl: cannot write " + nowhere + ": "));
    EXPECT_FALSE(fs::exists(nowhere));
}

// ---- remove, enable, disable ------------------------------------------------------------------

// The alarms' own switches in list --json order, as "1" for on and "0" for off.
std::string ActiveFlags(const std::string& file)
{
    const std::string json = Cli({"list", file, "--json"}).out;
    std::string flags;
    for (int i = 0; json.find("{\"index\": " + std::to_string(i) + ",") != std::string::npos; ++i) {
        flags += Contains(AlarmOf(json, i), "\"active\": true, \"type\"") ? '1' : '0';
    }
    return flags;
}

TEST(CliChange, EnableAndDisableRoundTrip)
{
    TempDir dir;
    const std::string file = dir.Copy("cli_alarms.zmb");
    ASSERT_EQ(ActiveFlags(file), "11101");

    const Result off = Cli({"disable", file, "0"});
    EXPECT_EQ(off.code, kExitOk) << off.err;
    EXPECT_EQ(off.err, "");
    EXPECT_EQ(ActiveFlags(file), "01101");
    EXPECT_EQ(Cli({"enable", file, "3"}).code, kExitOk);
    EXPECT_EQ(ActiveFlags(file), "01111");

    // Setting what is already set changes nothing.
    EXPECT_EQ(Cli({"enable", file, "3"}).code, kExitOk);
    EXPECT_EQ(Cli({"enable", file, "0"}).code, kExitOk);
    EXPECT_EQ(Cli({"disable", file, "3"}).code, kExitOk);
    // Nothing else of the alarms moved.
    EXPECT_EQ(Cli({"list", file, "--json"}).out, kAlarmsJson);
}

TEST(CliChange, RemoveRenumbersTheRestAndBadIndexesChangeNothing)
{
    TempDir dir;
    const std::string file = dir.Copy("cli_alarms.zmb");
    const std::string before = ReadBytes(file);
    for (const char* command : {"remove", "enable", "disable"}) {
        EXPECT_EQ(Cli({command, file, "5"}).code, kExitUsage) << command;
    }
    EXPECT_EQ(Cli({"remove", file, "99999999999999999999999"}).code, kExitUsage);
    EXPECT_EQ(ReadBytes(file), before);

    EXPECT_EQ(Cli({"remove", file, "1"}).code, kExitOk);
    EXPECT_EQ(Cli({"remove", file, "3"}).code, kExitOk);
    EXPECT_EQ(Cli({"remove", file, "0"}).code, kExitOk);
    const std::string json = Cli({"list", file, "--json"}).out;
    EXPECT_TRUE(Contains(AlarmOf(json, 0), "\"comment\": \"Codziennie\""));
    EXPECT_TRUE(Contains(AlarmOf(json, 1), "\"comment\": \"Wyłącz\""));
    EXPECT_EQ(AlarmOf(json, 2), "<no alarm>");
    EXPECT_EQ(Cli({"remove", file, "0"}).code, kExitOk);
    EXPECT_EQ(Cli({"remove", file, "0"}).code, kExitOk);
    EXPECT_EQ(Cli({"list", file, "--json"}).out, "[]\n");
    EXPECT_EQ(Cli({"check", file}).code, kExitOk);
}

// ---- the real binary --------------------------------------------------------------------------

// The arguments used here hold no single quote.
std::string ShellQuote(const std::string& text)
{
    return "'" + text + "'";
}

// Runs zembractl as its own process with the given zone, its output collected through files.
Result RunBinary(const std::vector<std::string>& args, const char* zone = "Europe/Warsaw")
{
    TempDir dir;
    const std::string outPath = dir.File("stdout");
    const std::string errPath = dir.File("stderr");
    // A profile of its own: `add --program` approves what it adds in the settings. No session
    // bus: no desktop program is asked.
    std::string command =
        "TZ=" + ShellQuote(zone) + " XDG_CONFIG_HOME=" + ShellQuote(dir.File("config"))
        + " DBUS_SESSION_BUS_ADDRESS=" + ShellQuote("unix:path=" + dir.File("no-bus")) + " "
        + ShellQuote(ZEMBRACTL_PATH);
    for (const auto& arg : args) {
        command += " " + ShellQuote(arg);
    }
    command += " </dev/null >" + ShellQuote(outPath) + " 2>" + ShellQuote(errPath);
    const int status = std::system(command.c_str());
    Result result;
    result.code = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadBytes(outPath);
    result.err = ReadBytes(errPath);
    return result;
}

TEST(CliBinary, ListAndOccurrencesOfTheDataFile)
{
    const Result list = RunBinary({"list", Data("cli_alarms.zmb"), "--json"});
    EXPECT_EQ(list.code, kExitOk) << list.err;
    EXPECT_EQ(list.out, kAlarmsJson);
    EXPECT_EQ(list.err, "");

    const Result occ = RunBinary({"occurrences", Data("cli_alarms.zmb"), "--from",
                                  "2026-03-27T00:00", "--count", "3", "--json"});
    EXPECT_EQ(occ.code, kExitOk) << occ.err;
    EXPECT_EQ(occ.out, kOccurrencesJson);
}

TEST(CliBinary, UsesTheProcesssZone)
{
    // The file holds UTC times; in UTC they are the local times too.
    const Result next =
        RunBinary({"next", Data("cli_alarms.zmb"), "--at", "2026-03-28T05:45", "--json"}, "UTC");
    EXPECT_EQ(next.out, NextJson(2, "2026-03-28T06:00:00.000", "2026-03-28T06:00:00.000Z"));
}

TEST(CliBinary, ExitCodesAndStreams)
{
    const Result none = RunBinary({});
    EXPECT_EQ(none.code, kExitUsage);
    EXPECT_EQ(none.out, "");
    EXPECT_TRUE(Contains(none.err, "Usage: zembractl COMMAND"));

    EXPECT_EQ(RunBinary({"check", "/nonexistent/zembra.zmb"}).code, kExitFileError);
    EXPECT_EQ(RunBinary({"check", Data("cli_garbage.zmb")}).code, kExitNotAlarmList);
}

TEST(CliBinary, AddThenOccurrencesAcrossTheSpringChange)
{
    TempDir dir;
    const std::string file = dir.File("e2e.zmb");
    const Result added = RunBinary({"add", file, "--at", "2026-03-28T07:00", "--frequency",
                                    "everyday", "--comment", "Pobudka"});
    ASSERT_EQ(added.code, kExitOk) << added.err;
    EXPECT_EQ(added.out, "0\n");
    const Result occ =
        RunBinary({"occurrences", file, "--from", "2026-03-28T00:00", "--count", "2", "--json"});
    ASSERT_EQ(occ.code, kExitOk) << occ.err;
    EXPECT_EQ(occ.out, "[{\"index\": 0, \"active\": true, \"occurrences\": ["
                           + Firings({{"2026-03-28T07:00:00.000", "2026-03-28T06:00:00.000Z"},
                                      {"2026-03-29T07:00:00.000", "2026-03-29T05:00:00.000Z"}})
                           + "]}]\n");
}

// Writers of one file take turns: none of a dozen at once loses another's alarm.
TEST(CliBinary, ConcurrentAddsKeepEveryAlarm)
{
    TempDir dir;
    const std::string file = dir.File("shared.zmb");
    ASSERT_EQ(RunBinary({"add", file, "--at", "2026-03-28T07:00", "--comment", "first"}).code,
              kExitOk);
    constexpr int kWriters = 12;
    std::string script =
        "for i in $(seq " + std::to_string(kWriters)
        + "); do DBUS_SESSION_BUS_ADDRESS=" + ShellQuote("unix:path=" + dir.File("no-bus")) + " "
        + ShellQuote(ZEMBRACTL_PATH) + " add " + ShellQuote(file)
        + " --at 2026-03-28T08:00 --comment \"writer $i\" >/dev/null & done; wait";
    ASSERT_EQ(std::system(("sh -c " + ShellQuote(script)).c_str()), 0);
    zembra::CScheduler list;
    ASSERT_EQ(list.LoadFromFile(file), 0);
    EXPECT_EQ(list.Count(), std::size_t{kWriters + 1});
    EXPECT_FALSE(fs::exists(file + ".lock"));
}

// ---- the running desktop program --------------------------------------------------------------

// A desktop program with a list open, recording what it was asked.
class FakeProgram : public zembra::IRunningProgram {
public:
    std::optional<State> open;
    zembra::ProgramReply refusal; // given to every change, when not Done
    std::vector<std::string> calls;

    std::optional<State> OpenList() override { return open; }
    zembra::ProgramReply ListAlarms(std::vector<zembra::CAlarm>& alarms) override
    {
        calls.push_back("list");
        zembra::CAlarm alarm;
        alarm.m_time = zembra::ParseIso("2026-03-28T07:00")->time;
        alarm.m_strFrequency = zembra::kFrequencyEveryday;
        alarm.m_strType = zembra::kTypeWakeup;
        alarm.m_strComment = "in the window";
        alarm.m_bActive = true;
        alarms = {alarm};
        return {};
    }
    zembra::ProgramReply NextAlarm(std::optional<zembra::ProgramNextAlarm>& next) override
    {
        calls.push_back("next");
        next = zembra::ProgramNextAlarm{0, "everyday", "in the window", "2026-03-28T07:00:00.000",
                                        "2026-03-28T06:00:00.000Z"};
        return {};
    }
    zembra::ProgramReply AddAlarm(const std::string& time, const zembra::CAlarm& alarm,
                                  int& index) override
    {
        calls.push_back("add " + time + " " + alarm.m_strComment + (alarm.m_bActive ? "" : " off"));
        index = 7;
        return refusal;
    }
    zembra::ProgramReply RemoveAlarm(int index) override
    {
        calls.push_back("remove " + std::to_string(index));
        return refusal;
    }
    zembra::ProgramReply SetAlarmActive(int index, bool active) override
    {
        calls.push_back("switch " + std::to_string(index) + (active ? " on" : " off"));
        return refusal;
    }
    zembra::ProgramReply Save() override
    {
        calls.push_back("save");
        return {};
    }
    zembra::ProgramReply Show() override { return Asked("show"); }
    zembra::ProgramReply Silence(bool& wasRinging) override
    {
        wasRinging = true;
        return Asked("silence");
    }
    zembra::ProgramReply Snooze(unsigned minutes) override
    {
        return Asked("snooze " + std::to_string(minutes));
    }

private:
    zembra::ProgramReply Asked(const std::string& call)
    {
        calls.push_back(call);
        return open ? zembra::ProgramReply{}
                    : zembra::ProgramReply{zembra::ProgramReply::Kind::NotRunning,
                                           "Zembra is not running"};
    }
};

struct ThroughProgramCase {
    const char* name;
    std::vector<std::string> args; // FILE stands for the list
    std::vector<std::string> calls;
    std::string out;
};

class CliThroughProgram : public ::testing::TestWithParam<ThroughProgramCase> {};

// While the desktop program has FILE open, the list is changed and read there, and the file is
// left to the program's save.
TEST_P(CliThroughProgram, GoesThroughTheProgram)
{
    const ThroughProgramCase& c = GetParam();
    TempDir dir;
    const std::string file = dir.Copy("cli_alarms.zmb");
    const std::string before = ReadBytes(file);
    std::vector<std::string> args;
    for (const std::string& arg : c.args) {
        args.push_back(arg == "FILE" ? file : arg);
    }
    for (const bool unsaved : {false, true}) {
        FakeProgram program;
        // Named another way, it is the same file.
        program.open = zembra::IRunningProgram::State{dir.File("./cli_alarms.zmb"), unsaved};
        const Result r = Cli(args, 0, &program);
        EXPECT_EQ(r.code, kExitOk) << r.err;
        EXPECT_EQ(r.out, c.out);
        std::vector<std::string> calls = c.calls;
        const bool changes = !calls.empty() && calls.front() != "list" && calls.front() != "next";
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
    ::testing::Values(
        ThroughProgramCase{
            "add",
            {"add", "FILE", "--at", "2026-03-28T09:15", "--comment", "x", "--inactive"},
            {"add 2026-03-28T09:15 x off"},
            "7\n"},
        ThroughProgramCase{"remove", {"remove", "FILE", "3"}, {"remove 3"}, ""},
        ThroughProgramCase{"enable", {"enable", "FILE", "4"}, {"switch 4 on"}, ""},
        ThroughProgramCase{"disable", {"disable", "FILE", "0"}, {"switch 0 off"}, ""},
        ThroughProgramCase{
            "list",
            {"list", "FILE"},
            {"list"},
            "#  On   Type    Frequency  Local time               Actions  Comment\n"
            "0  yes  wakeup  everyday   2026-03-28T07:00:00.000  -        in the window\n"},
        ThroughProgramCase{"next",
                           {"next", "FILE", "--json"},
                           {"next"},
                           NextJson(0, "2026-03-28T07:00:00.000", "2026-03-28T06:00:00.000Z")}),
    [](const ::testing::TestParamInfo<ThroughProgramCase>& param) {
        return std::string(param.param.name);
    });

TEST(CliProgram, AnotherListOrNoProgramLeavesTheFileToZembractl)
{
    TempDir dir;
    const std::string file = dir.Copy("cli_alarms.zmb");
    FakeProgram other;
    other.open = zembra::IRunningProgram::State{dir.File("other.zmb"), false};
    FakeProgram none;
    for (FakeProgram* program : {&other, &none}) {
        EXPECT_EQ(Cli({"disable", file, "0"}, 0, program).code, kExitOk);
        EXPECT_EQ(program->calls, std::vector<std::string>{});
    }
    EXPECT_EQ(ActiveFlags(file), "01101");
}

TEST(CliProgram, ARefusalOfTheProgramIsSaidWithItsStatus)
{
    TempDir dir;
    const std::string file = dir.Copy("cli_alarms.zmb");
    FakeProgram program;
    program.open = zembra::IRunningProgram::State{file, false};
    program.refusal = {zembra::ProgramReply::Kind::BadArgument, "index 9 is out of range"};
    const Result r = Cli({"remove", file, "9"}, 0, &program);
    EXPECT_EQ(r.code, kExitUsage);
    EXPECT_EQ(r.err, "zembractl: remove: index 9 is out of range\n");
    EXPECT_EQ(program.calls, std::vector<std::string>{"remove 9"});
}

TEST(CliProgram, SilenceSnoozeAndShowActOnTheProgram)
{
    struct Case {
        std::vector<std::string> args;
        std::string call;
        std::string out;
    };
    for (const Case& c : std::vector<Case>{{{"silence"}, "silence", "alarm silenced\n"},
                                           {{"snooze"}, "snooze 0", "alarm snoozed\n"},
                                           {{"snooze", "10"}, "snooze 10", "alarm snoozed\n"},
                                           {{"show"}, "show", ""}}) {
        FakeProgram running;
        running.open = zembra::IRunningProgram::State{"", false};
        const Result done = Cli(c.args, 0, &running);
        EXPECT_EQ(done.code, kExitOk) << c.call << done.err;
        EXPECT_EQ(done.out, c.out);
        EXPECT_EQ(running.calls, std::vector<std::string>{c.call});

        FakeProgram gone;
        const Result none = Cli(c.args, 0, &gone);
        EXPECT_EQ(none.code, kExitNoProgram) << c.call;
        EXPECT_EQ(none.err, "zembractl: " + c.args[0] + ": Zembra is not running\n");

        EXPECT_EQ(Cli(c.args).code, kExitInternal) << "a build that cannot reach the program";
    }
    FakeProgram running;
    for (const char* minutes : {"0", "1441", "5m"}) {
        const Result r = Cli({"snooze", minutes}, 0, &running);
        EXPECT_EQ(r.code, kExitUsage) << minutes;
        EXPECT_TRUE(Contains(r.err, "MINUTES must be a whole number from 1 to 1440"));
    }
    EXPECT_EQ(Cli({"silence", "extra"}, 0, &running).code, kExitUsage);
    EXPECT_EQ(running.calls, std::vector<std::string>{});
}

} // namespace
