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
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <map>
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
using Strings = std::vector<std::string>;

// The expectations below are Warsaw times; ctest sets TZ, and a run by hand gets it from here.
const test::ScopedTimeZone g_warsaw("Europe/Warsaw");

const std::string kData = ZEMBRA_TEST_DATA_DIR "/";
const std::string kList = kData + "cli_alarms.zmb";

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
    bool operator==(const Outcome&) const = default;
};
void PrintTo(const Outcome& outcome, std::ostream* os)
{
    *os << "exit " << outcome.code << "\nout: " << outcome.out << "\nerr: " << outcome.err;
}

// A command line written as one string, its words split at spaces: LIST stands for
// tests/data/cli_alarms.zmb, EMPTY for tests/data/cli_empty.zmb, FILE for `file`.
Strings Words(const std::string& line, const std::string& file = "")
{
    const std::map<std::string, std::string> names{
        {"LIST", kList}, {"EMPTY", kData + "cli_empty.zmb"}, {"FILE", file}};
    Strings args;
    std::istringstream in(line);
    for (std::string word; in >> word;) {
        args.push_back(names.contains(word) ? names.at(word) : word);
    }
    return args;
}

// Runs zembractl in-process; with `now`, the present moment is fixed for commands that default
// to it; with `program`, a desktop program runs.
Outcome Cli(const Strings& args, const char* now = nullptr, IRunningProgram* program = nullptr)
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

// occurrences --from 2026-03-28T00:00 --count 2 --json of tests/data/cli_alarms.zmb. Workdays:
// Monday and Tuesday, in summer time; the monthly alarm skips April, which has no 31st; the
// everyday alarm crosses the change on Sunday 29 March; the switched-off shut-down never fires.
const std::string kOccurrencesJson =
    R"([{"index": 0, "active": true, "occurrences": [)"
    R"({"local": "2026-03-30T06:30:00.000", "utc": "2026-03-30T04:30:00.000Z"}, )"
    R"({"local": "2026-03-31T06:30:00.000", "utc": "2026-03-31T04:30:00.000Z"}]}, )"
    R"({"index": 1, "active": true, "occurrences": [)"
    R"({"local": "2026-03-31T08:00:00.000", "utc": "2026-03-31T06:00:00.000Z"}, )"
    R"({"local": "2026-05-31T08:00:00.000", "utc": "2026-05-31T06:00:00.000Z"}]}, )"
    R"({"index": 2, "active": true, "occurrences": [)"
    R"({"local": "2026-03-28T07:00:00.000", "utc": "2026-03-28T06:00:00.000Z"}, )"
    R"({"local": "2026-03-29T07:00:00.000", "utc": "2026-03-29T05:00:00.000Z"}]}, )"
    R"({"index": 3, "active": false, "occurrences": []}, )"
    R"({"index": 4, "active": true, "occurrences": []}])"
    "\n";

// The alarms' own switches in list order, as "1" for on and "0" for off.
std::string ActiveFlags(const std::string& file)
{
    const std::string json = Cli("list " + file + " --json").out;
    std::string flags;
    for (auto at = json.find(", \"type\""); at != std::string::npos;
         at = json.find(", \"type\"", at + 1)) {
        flags += json.compare(at - 4, 4, "true") == 0 ? '1' : '0';
    }
    return flags;
}

// Wrong command lines exit with 2 before the file is touched (a file under /nonexistent could be
// neither read nor written), and say why.
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
    EXPECT_PRED_FORMAT2(testing::IsSubstring, GetParam().message, r.err);
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
        {"OptionTwice", "list LIST --json --json", "--json is given more than once"},
        {"DayThatDoesNotExist", "next LIST --at 2026-02-30T07:00", "--at: '2026-02-30T07:00'"},
        {"TimeBeforeTheFile", "occurrences /nonexistent/z.zmb --to 2026-13-01T00:00", "--to: '"},
        {"CountZero", "occurrences LIST --count 0", "--count"},
        {"DueWithoutTo", "due LIST --from 2026-03-28T07:00", "--to TIME is required"},
        {"FrequencyIsCaseSensitive", "add LIST --at 2026-03-28T07:00 --frequency Weekly",
         "--frequency: 'Weekly' is not one of"},
        {"UnknownTypeBeforeTheFile", "add /nonexistent/z.zmb --at 2026-03-28T07:00 --type sleep",
         "--type: 'sleep' is not one of"},
        {"NegativeIndex", "disable LIST -1", "INDEX must be a number"},
        {"IndexOutOfRange", "enable LIST 5", "index 5 is out of range: valid indexes are 0 to 4"},
        {"IndexPastAnyNumber", "remove LIST 99999999999999999999999", "zembractl: "},
        {"IndexInAnEmptyList", "remove EMPTY 0", "holds no alarms"},
        // Before the desktop program is asked at all.
        {"SnoozeForNoMinutes", "snooze 0", "MINUTES must be a whole number from 1 to 1440"},
        {"SnoozeForMoreThanADay", "snooze 1441", "MINUTES must be a whole number"},
        {"SnoozeMinutesWithAUnit", "snooze 5m", "MINUTES must be a whole number"}}),
    [](const auto& c) { return std::string(c.param.name); });

// What the reading commands write for tests/data/cli_alarms.zmb, exactly; with `now`, the present
// moment is fixed for commands that default to it.
struct ReadCase {
    const char* name;
    const char* line;
    std::string out;
    const char* now = nullptr;
};

class CliRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(CliRead, WritesExactly)
{
    EXPECT_EQ(Cli(GetParam().line, GetParam().now), (Outcome{kExitOk, GetParam().out, ""}));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliRead,
    ::testing::ValuesIn(std::vector<ReadCase>{
        {"CheckSaysWhatTheFileIs", "check LIST", kList + ": alarm list with 5 alarms\n"},
        {"ListTextOfAnEmptyList", "list EMPTY", kData + "cli_empty.zmb" + ": no alarms\n"},
        {"NextWithoutAtIsFromNow", "next LIST --json",
         R"({"index": 2, "local": "2026-03-28T07:00:00.000", "utc": "2026-03-28T06:00:00.000Z"})"
         "\n",
         "2026-03-28T05:45:00Z"},
        // From Saturday 06:45 the everyday alarm (third in the list) comes before Monday's.
        {"NextIsTheEarliestFiring", "next LIST --at 2026-03-28T06:45",
         "alarm 2 (everyday) fires at 2026-03-28T07:00:00.000 (2026-03-28T06:00:00.000Z): "
         "Codziennie\n"},
        {"NextInAnEmptyListIsNull", "next EMPTY --at 2026-03-28T06:45 --json", "null\n"},
        {"NextTextInAnEmptyList", "next EMPTY --at 2026-03-28T06:45", "no alarm pending\n"},
        // --to is inclusive: the workdays alarm's 06:30 on Tuesday is the last firing in it. The
        // switched-off shut-down at 12:00 on Monday lies inside, but never fires.
        {"OccurrencesTextUpToAndIncludingTo",
         "occurrences LIST --from 2026-03-29T00:00 --to 2026-03-31T06:30 --count 3",
         "alarm 0 (workdays): Praca\n"
         "  2026-03-30T06:30:00.000  2026-03-30T04:30:00.000Z\n"
         "  2026-03-31T06:30:00.000  2026-03-31T04:30:00.000Z\n"
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
        // 06:00Z is Saturday's 07:00, a millisecond after the window.
        {"DueInUtc", "due LIST --from 2026-03-28T05:00Z --to 2026-03-28T05:59:59.999Z --json",
         "[]\n"}}),
    [](const auto& c) { return std::string(c.param.name); });

// A file of one blank line is no alarm list either.
const char* const kNotAlarmLists[] = {"cli_garbage.zmb", "cli_other_root.zmb", "cli_blank.zmb"};

TEST(CliFiles, UnreadableOrUnwritableFilesExit3AndOtherTextsExit4Untouched)
{
    TempDir dir;
    const std::string missing = dir.File("missing.zmb");
    for (const char* command :
         {"list FILE", "next FILE", "occurrences FILE", "enable FILE 0",
          "due FILE --from 2026-03-31T00:00 --to 2026-03-31T23:59", "check FILE"}) {
        EXPECT_EQ(Cli(Words(command, missing)),
                  (Outcome{kExitFileError, "",
                           "zembractl: cannot read " + missing + ": No such file or directory\n"}));
        EXPECT_EQ(Cli(Words(command, dir.File(""))).code, kExitFileError) << command;
        for (const char* name : kNotAlarmLists) {
            const Outcome r = Cli(Words(command, kData + name));
            EXPECT_EQ(r.code, kExitNotAlarmList) << command << " " << name;
            EXPECT_EQ(r.out, "");
            EXPECT_PRED_FORMAT2(testing::IsSubstring,
                                "zembractl: " + kData + name + ": not an alarm list", r.err);
        }
    }
    EXPECT_FALSE(fs::exists(missing));
    // add leaves a file that is no alarm list as it was, and cannot write in a missing folder.
    for (const char* name : kNotAlarmLists) {
        const std::string other = dir.Copy(name);
        const std::string bytes = ReadBytes(other);
        EXPECT_EQ(Cli("add " + other + " --at 2026-07-01T09:15").code, kExitNotAlarmList) << name;
        EXPECT_EQ(ReadBytes(other), bytes) << name;
    }
    const std::string nowhere = dir.File("no-such-folder/new.zmb");
    const Outcome unwritable = Cli("add " + nowhere + " --at 2026-07-01T09:15");
    EXPECT_EQ(unwritable.code, kExitFileError);
    EXPECT_PRED_FORMAT2(testing::IsSubstring, "zembractl: cannot write " + nowhere + ": ",
                        unwritable.err);
    EXPECT_FALSE(fs::exists(nowhere));
}

// Alarms keep their places through every change but a removal, which renumbers the rest. Added
// alarms come last, with every option; the JSON listing escapes control characters and keeps
// UTF-8 byte for byte.
TEST(CliChange, AddAppendsSwitchingTouchesOnlyTheSwitchAndRemoveRenumbers)
{
    TempDir dir;
    const std::string file = dir.Copy("cli_alarms.zmb");
    const std::string before = Cli("list " + file + " --json").out;
    const auto change = [&file](const std::string& command, const std::string& index) {
        return Cli(command + " " + file + " " + index).code;
    };
    EXPECT_EQ(change("disable", "0"), kExitOk);
    EXPECT_EQ(ActiveFlags(file), "01101");
    EXPECT_EQ(change("enable", "3"), kExitOk);
    EXPECT_EQ(ActiveFlags(file), "01111");
    // Nothing else of the alarms moved.
    EXPECT_EQ(change("enable", "0"), kExitOk);
    EXPECT_EQ(change("disable", "3"), kExitOk);
    EXPECT_EQ(Cli("list " + file + " --json").out, before);

    EXPECT_EQ(Cli({"add", file, "--at", "2026-07-01T09:15", "--frequency", "weekly", "--type",
                   "hibernate", "--message", "Weź ręcznik", "--inactive"}),
              (Outcome{kExitOk, "5\n", ""}));
    // 07:15Z on 2 July is 09:15 in Warsaw (summer time); the alarm keeps the local time. An
    // option given with an empty text still switches its action on.
    EXPECT_EQ(
        Cli({"add", file, "--at", "2026-07-02T07:15Z", "--message", "", "--sound", "/x/dzwonek.wav",
             "--comment", "Say \"hi\" \\ to <me> & 'you'\t\x7f", "--program", "notify-send ⏰"}),
        (Outcome{kExitOk, "6\n", ""}));
    EXPECT_EQ(
        Cli("list " + file + " --json").out,
        before.substr(0, before.size() - 2)
            + R"(, {"index": 5, "active": false, "type": "hibernate", "frequency": "weekly", )"
              R"("local": "2026-07-01T09:15:00.000", "comment": "", )"
              R"("message": {"active": true, "text": "Weź ręcznik"}, )"
              R"("sound": {"active": false, "text": ""}, "program": {"active": false, "text": ""}}, )"
              R"({"index": 6, "active": true, "type": "wakeup", "frequency": "once", )"
              R"("local": "2026-07-02T09:15:00.000", )"
              R"("comment": "Say \"hi\" \\ to <me> & 'you'\u0009\u007f", )"
              R"("message": {"active": true, "text": ""}, )"
              R"("sound": {"active": true, "text": "/x/dzwonek.wav"}, )"
              R"("program": {"active": true, "text": "notify-send ⏰"}}])"
              "\n");
    // Once means once.
    EXPECT_PRED_FORMAT2(
        testing::IsSubstring,
        R"({"index": 6, "active": true, "occurrences": [)"
        R"({"local": "2026-07-02T09:15:00.000", "utc": "2026-07-02T07:15:00.000Z"}]})",
        Cli("occurrences " + file + " --from 2026-07-02T00:00 --json").out);

    for (const char* index : {"1", "3", "4", "0"}) {
        EXPECT_EQ(change("remove", index), kExitOk) << index;
    }
    EXPECT_EQ(Cli("list " + file).out,
              "#  On   Type       Frequency  Local time               Actions  Comment\n"
              "0  yes  wakeup     everyday   2026-03-01T07:00:00.000  message  Codziennie\n"
              "1  no   shutdown   once       2026-03-30T12:00:00.000  program  Wyłącz\n"
              "2  no   hibernate  weekly     2026-07-01T09:15:00.000  message\n");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(change("remove", "0"), kExitOk);
    }
    // Emptied, the file is still an alarm list.
    EXPECT_EQ(Cli("list " + file + " --json").out, "[]\n");
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

// The real process writes its output and help to the standard output, in the process's zone.
// (Its complaints on the standard error are zembractl run's test.)
TEST(CliBinary, OutputAndHelpOnTheStandardOutputInTheProcesssZone)
{
    EXPECT_EQ(RunBinary("occurrences LIST --from 2026-03-28T00:00 --count 2 --json"),
              (Outcome{kExitOk, kOccurrencesJson, ""}));
    // The file holds UTC times; in UTC they are the local times too.
    EXPECT_EQ(
        RunBinary("next LIST --at 2026-03-28T05:45 --json", "UTC").out,
        R"({"index": 2, "local": "2026-03-28T06:00:00.000", "utc": "2026-03-28T06:00:00.000Z"})"
        "\n");
    const Outcome help = RunBinary("--help");
    EXPECT_EQ(help.code, kExitOk);
    EXPECT_PRED_FORMAT2(testing::IsSubstring, "Usage: zembractl COMMAND", help.out);
}

// Writers of one file take turns: none of a dozen at once loses another's alarm.
TEST(CliBinary, ConcurrentAddsKeepEveryAlarm)
{
    TempDir dir;
    const std::string file = dir.File("shared.zmb");
    ASSERT_EQ(RunBinary("add " + file + " --at 2026-03-28T07:00 --comment first").code, kExitOk);
    const std::string script =
        "for i in $(seq 12); do DBUS_SESSION_BUS_ADDRESS=unix:path=" + dir.File("no-bus") + " "
        + ZEMBRACTL_PATH + " add " + file
        + " --at 2026-03-28T08:00 --comment \"writer $i\" >/dev/null & done; wait";
    ASSERT_EQ(std::system(script.c_str()), 0);
    EXPECT_EQ(Cli("check " + file).out, file + ": alarm list with 13 alarms\n");
    EXPECT_FALSE(fs::exists(file + ".lock"));
}

// ---- the running desktop program --------------------------------------------------------------

// A desktop program recording what it was asked. With a list open, every request gets `refusal`
// as its reply (Done unless a test says otherwise); without, it is not running.
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
        alarms.assign(1, *test::NewAlarm(kFrequencyEveryday, test::St(2026, 3, 28, 7)));
        alarms[0].m_strComment = "in the window";
        return Reply("list");
    }
    ProgramReply NextAlarm(std::optional<ProgramNextAlarm>& next) override
    {
        next = ProgramNextAlarm{0, "everyday", "in the window", "2026-03-28T07:00:00.000",
                                "2026-03-28T06:00:00.000Z"};
        return Reply("next");
    }
    // Adding through the program is the D-Bus test's, with the real one.
    ProgramReply AddAlarm(const std::string&, const CAlarm&, int&) override { return Reply("add"); }
    ProgramReply RemoveAlarm(int i) override { return Reply("remove " + std::to_string(i)); }
    ProgramReply SetAlarmActive(int index, bool active) override
    {
        return Reply("switch " + std::to_string(index) + (active ? " on" : " off"));
    }
    ProgramReply Save() override { return Reply("save"); }
    ProgramReply Show() override { return Reply("show"); }
    ProgramReply Silence(bool& wasRinging) override
    {
        wasRinging = true;
        return Reply("silence");
    }
    ProgramReply Snooze(unsigned n) override { return Reply("snooze " + std::to_string(n)); }

private:
    ProgramReply Reply(const std::string& call)
    {
        calls.push_back(call);
        return open ? refusal
                    : ProgramReply{ProgramReply::Kind::NotRunning, "Zembra is not running"};
    }
};

struct ThroughProgramCase {
    const char* name;
    const char* line; // FILE stands for the list
    bool changes;
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
    for (const bool unsaved : {false, true}) {
        SCOPED_TRACE(unsaved ? "with unsaved changes" : "saved");
        // Named another way, it is the same file.
        FakeProgram program(IRunningProgram::State{dir.File("./cli_alarms.zmb"), unsaved});
        const Outcome r = Cli(Words(c.line, file), nullptr, &program);
        EXPECT_EQ(r.code, kExitOk) << r.err;
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(program.calls,
                  (c.changes && !unsaved ? Strings{c.call, "save"} : Strings{c.call}));
        EXPECT_EQ(r.err.empty(), !(c.changes && unsaved)) << r.err;
        EXPECT_EQ(ReadBytes(file), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliThroughProgram,
    ::testing::ValuesIn(std::vector<ThroughProgramCase>{
        {"disable", "disable FILE 0", true, "switch 0 off", ""},
        {"list", "list FILE", false, "list",
         "#  On   Type    Frequency  Local time               Actions  Comment\n"
         "0  yes  wakeup  everyday   2026-03-28T07:00:00.000  -        in the window\n"},
        {"next", "next FILE --json", false, "next",
         R"({"index": 0, "local": "2026-03-28T07:00:00.000", "utc": "2026-03-28T06:00:00.000Z"})"
         "\n"}}),
    [](const auto& c) { return std::string(c.param.name); });

// A program with another list open leaves the file to zembractl (as none does: the real binary's
// cases run without one); a program with the list open is asked, and its refusal is said with
// its status.
TEST(CliProgram, OnlyTheProgramWithTheListIsAskedAndItsRefusalIsSaid)
{
    TempDir dir;
    const std::string file = dir.Copy("cli_alarms.zmb");
    FakeProgram other(IRunningProgram::State{dir.File("other.zmb"), false});
    EXPECT_EQ(Cli("disable " + file + " 0", nullptr, &other).code, kExitOk);
    EXPECT_EQ(other.calls, Strings{});
    EXPECT_EQ(ActiveFlags(file), "01101");
    FakeProgram refusing(IRunningProgram::State{file, false});
    refusing.refusal = {ProgramReply::Kind::BadArgument, "index 9 is out of range"};
    EXPECT_EQ(Cli("remove " + file + " 9", nullptr, &refusing),
              (Outcome{kExitUsage, "", "zembractl: remove: index 9 is out of range\n"}));
    EXPECT_EQ(refusing.calls, Strings{"remove 9"});
}

// Without a running program they exit with 5; a build that cannot reach one says so.
TEST(CliProgram, SilenceSnoozeAndShowActOnTheProgram)
{
    for (const auto& [line, call, out] :
         std::vector<std::tuple<std::string, std::string, std::string>>{
             {"silence", "silence", "alarm silenced\n"},
             {"snooze", "snooze 0", "alarm snoozed\n"},
             {"snooze 10", "snooze 10", "alarm snoozed\n"},
             {"show", "show", ""}}) {
        FakeProgram running(IRunningProgram::State{"", false});
        EXPECT_EQ(Cli(line, nullptr, &running), (Outcome{kExitOk, out, ""}));
        EXPECT_EQ(running.calls, Strings{call});
        FakeProgram gone;
        EXPECT_EQ(Cli(line, nullptr, &gone),
                  (Outcome{kExitNoProgram, "",
                           "zembractl: " + Words(line)[0] + ": Zembra is not running\n"}));
        EXPECT_EQ(Cli(line).code, kExitInternal) << line;
    }
}

} // namespace
