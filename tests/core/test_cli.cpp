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
#include "Json.h"
#include "TestSupport.h"
#include "model/AtomicFile.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using zembra::kExitFileError;
using zembra::kExitNotAlarmList;
using zembra::kExitOk;
using zembra::kExitUsage;

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

std::string ReadBytes(const fs::path& path)
{
    std::string bytes;
    std::string error;
    if (!zembra::ReadWholeFile(path.string(), bytes, error)) {
        throw std::runtime_error("cannot read " + path.string() + ": " + error);
    }
    return bytes;
}

void WriteBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

// A fresh folder under the system's temporary directory, removed with everything in it.
class TempDir {
public:
    TempDir()
    {
        static std::atomic<unsigned> counter{0};
        std::random_device random;
        m_path = fs::temp_directory_path()
                 / ("zembractl-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++)
                    + "-" + std::to_string(random()));
        fs::create_directories(m_path);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir()
    {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }

    std::string File(const std::string& name) const { return (m_path / name).string(); }

    // A copy of a data file that the test may change.
    std::string Copy(const char* dataName) const
    {
        std::string target = File(dataName);
        fs::copy_file(Data(dataName), target);
        return target;
    }

private:
    fs::path m_path;
};

struct Result {
    int code = -1;
    std::string out;
    std::string err;
};

Result Cli(const std::vector<std::string>& args)
{
    std::ostringstream out;
    std::ostringstream err;
    Result result;
    result.code = zembra::RunZembractl(args, out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
}

// The same with the present moment fixed, for the commands that default to "now".
Result RunAt(const std::vector<std::string>& args, zembra::FileTime now)
{
    zembra::CliEnvironment environment;
    environment.now = [now] { return now; };
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

// ---- a small JSON reader, so that the output is checked as JSON and not only as text ----------

// Objects keep their keys in the order read, so that the order written can be checked.
struct JsonValue {
    enum class Kind { Null, Bool, Int, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    long long integer = 0;
    std::string string;
    std::vector<JsonValue> items;  // array elements, or object values
    std::vector<std::string> keys; // object keys, one per value

    bool IsNull() const { return kind == Kind::Null; }
    bool Bool() const { return Expect(Kind::Bool).boolean; }
    long long Int() const { return Expect(Kind::Int).integer; }
    const std::string& String() const { return Expect(Kind::String).string; }
    const std::vector<JsonValue>& Array() const { return Expect(Kind::Array).items; }
    const std::vector<std::string>& Keys() const { return Expect(Kind::Object).keys; }

    const JsonValue& operator[](std::size_t i) const { return Array().at(i); }
    const JsonValue& operator[](const std::string& key) const
    {
        const auto& names = Keys();
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (names[i] == key) {
                return items[i];
            }
        }
        throw std::out_of_range("no key " + key);
    }

private:
    const JsonValue& Expect(Kind wanted) const
    {
        if (kind != wanted) {
            throw std::logic_error("JSON value of another kind");
        }
        return *this;
    }
};

class JsonReader {
public:
    explicit JsonReader(std::string text)
        : m_text(std::move(text))
    {
    }

    // The whole text must be one value, then at most white space.
    JsonValue ReadDocument()
    {
        JsonValue value = ReadValue();
        SkipSpace();
        if (m_pos != m_text.size()) {
            Fail("text after the value");
        }
        return value;
    }

private:
    [[noreturn]] void Fail(const std::string& what) const
    {
        throw std::runtime_error("JSON: " + what + " at " + std::to_string(m_pos) + " in "
                                 + m_text);
    }

    void SkipSpace()
    {
        while (m_pos < m_text.size() && std::strchr(" \t\r\n", m_text[m_pos]) != nullptr) {
            ++m_pos;
        }
    }

    bool Take(char c)
    {
        SkipSpace();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    void Expect(char c)
    {
        if (!Take(c)) {
            Fail(std::string("expected '") + c + "'");
        }
    }

    bool TakeWord(const char* word)
    {
        const std::size_t length = std::strlen(word);
        if (m_text.compare(m_pos, length, word) == 0) {
            m_pos += length;
            return true;
        }
        return false;
    }

    static JsonValue Boolean(bool value)
    {
        JsonValue boolean;
        boolean.kind = JsonValue::Kind::Bool;
        boolean.boolean = value;
        return boolean;
    }

    JsonValue ReadValue()
    {
        SkipSpace();
        if (m_pos >= m_text.size()) {
            Fail("unexpected end");
        }
        const char c = m_text[m_pos];
        if (c == '{') {
            ++m_pos;
            JsonValue object;
            object.kind = JsonValue::Kind::Object;
            if (!Take('}')) {
                do {
                    SkipSpace();
                    object.keys.push_back(ReadString());
                    Expect(':');
                    object.items.push_back(ReadValue());
                } while (Take(','));
                Expect('}');
            }
            return object;
        }
        if (c == '[') {
            ++m_pos;
            JsonValue array;
            array.kind = JsonValue::Kind::Array;
            if (!Take(']')) {
                do {
                    array.items.push_back(ReadValue());
                } while (Take(','));
                Expect(']');
            }
            return array;
        }
        if (c == '"') {
            JsonValue text;
            text.kind = JsonValue::Kind::String;
            text.string = ReadString();
            return text;
        }
        if (TakeWord("null")) {
            return {};
        }
        if (TakeWord("true")) {
            return Boolean(true);
        }
        if (TakeWord("false")) {
            return Boolean(false);
        }
        if (c == '-' || (c >= '0' && c <= '9')) {
            std::size_t used = 0;
            const long long number = std::stoll(m_text.substr(m_pos), &used);
            m_pos += used;
            JsonValue integer;
            integer.kind = JsonValue::Kind::Int;
            integer.integer = number;
            return integer;
        }
        Fail("unexpected character");
    }

    std::string ReadString()
    {
        if (m_pos >= m_text.size() || m_text[m_pos] != '"') {
            Fail("expected a string");
        }
        ++m_pos;
        std::string result;
        while (true) {
            if (m_pos >= m_text.size()) {
                Fail("unterminated string");
            }
            const char c = m_text[m_pos++];
            if (c == '"') {
                return result;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                Fail("raw control character in a string");
            }
            if (c != '\\') {
                result += c;
                continue;
            }
            if (m_pos >= m_text.size()) {
                Fail("unterminated escape");
            }
            const char e = m_text[m_pos++];
            switch (e) {
            case '"':
                result += '"';
                break;
            case '\\':
                result += '\\';
                break;
            case '/':
                result += '/';
                break;
            case 'b':
                result += '\b';
                break;
            case 'f':
                result += '\f';
                break;
            case 'n':
                result += '\n';
                break;
            case 'r':
                result += '\r';
                break;
            case 't':
                result += '\t';
                break;
            case 'u': {
                if (m_pos + 4 > m_text.size()) {
                    Fail("short \\u escape");
                }
                const unsigned code =
                    static_cast<unsigned>(std::stoul(m_text.substr(m_pos, 4), nullptr, 16));
                m_pos += 4;
                if (code >= 0x80) {
                    Fail("this reader only needs \\u escapes below 0x80");
                }
                result += static_cast<char>(code);
                break;
            }
            default:
                Fail("bad escape");
            }
        }
    }

    std::string m_text;
    std::size_t m_pos = 0;
};

JsonValue ParseJson(const std::string& text)
{
    return JsonReader(text).ReadDocument();
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
// which have no 31st; the everyday alarm crosses the change on Sunday 29 March.
const std::string kOccurrencesJson =
    R"([{"index": 0, "occurrences": [)"
    R"({"local": "2026-03-27T06:30:00.000", "utc": "2026-03-27T05:30:00.000Z"}, )"
    R"({"local": "2026-03-30T06:30:00.000", "utc": "2026-03-30T04:30:00.000Z"}, )"
    R"({"local": "2026-03-31T06:30:00.000", "utc": "2026-03-31T04:30:00.000Z"}]}, )"
    R"({"index": 1, "occurrences": [)"
    R"({"local": "2026-03-31T08:00:00.000", "utc": "2026-03-31T06:00:00.000Z"}, )"
    R"({"local": "2026-05-31T08:00:00.000", "utc": "2026-05-31T06:00:00.000Z"}, )"
    R"({"local": "2026-07-31T08:00:00.000", "utc": "2026-07-31T06:00:00.000Z"}]}, )"
    R"({"index": 2, "occurrences": [)"
    R"({"local": "2026-03-27T07:00:00.000", "utc": "2026-03-27T06:00:00.000Z"}, )"
    R"({"local": "2026-03-28T07:00:00.000", "utc": "2026-03-28T06:00:00.000Z"}, )"
    R"({"local": "2026-03-29T07:00:00.000", "utc": "2026-03-29T05:00:00.000Z"}]}, )"
    R"({"index": 3, "occurrences": [)"
    R"({"local": "2026-03-30T12:00:00.000", "utc": "2026-03-30T10:00:00.000Z"}]}, )"
    R"({"index": 4, "occurrences": []}])"
    "\n";

// The (local, utc) pairs of one alarm in occurrences --json output.
std::vector<std::pair<std::string, std::string>> FiringsOf(const JsonValue& document,
                                                           std::size_t index)
{
    const JsonValue& entry = document[index];
    EXPECT_EQ(entry["index"].Int(), static_cast<long long>(index));
    std::vector<std::pair<std::string, std::string>> firings;
    for (const auto& firing : entry["occurrences"].Array()) {
        firings.emplace_back(firing["local"].String(), firing["utc"].String());
    }
    return firings;
}

using Firings = std::vector<std::pair<std::string, std::string>>;

const std::vector<std::string> kCommandNames{"list",   "next",   "occurrences", "due",  "add",
                                             "remove", "enable", "disable",     "check"};

// ---- JSON writer ------------------------------------------------------------------------------

TEST(CliJson, QuoteEscapesQuotesBackslashesAndControlCharacters)
{
    EXPECT_EQ(zembra::JsonQuote(""), "\"\"");
    EXPECT_EQ(zembra::JsonQuote("a\"b\\c"), R"("a\"b\\c")");
    EXPECT_EQ(zembra::JsonQuote(std::string("\n\t\r\x01\x1f\x7f", 6)),
              R"("\u000a\u0009\u000d\u0001\u001f\u007f")");
    EXPECT_EQ(zembra::JsonQuote(std::string("a\0b", 3)), R"("a\u0000b")");
    // UTF-8 is copied byte for byte, and so are '/' and the space.
    EXPECT_EQ(zembra::JsonQuote("Zażółć gęślą jaźń / ⏰"), "\"Zażółć gęślą jaźń / ⏰\"");
}

TEST(CliJson, WriterPlacesSeparatorsInNestedContainers)
{
    std::ostringstream out;
    zembra::JsonWriter json(out);
    json.BeginArray();
    json.BeginObject()
        .Field("a", std::int64_t{-3})
        .Field("b", false)
        .Key("c")
        .BeginArray()
        .EndArray();
    json.Key("d").Null().EndObject();
    json.BeginObject().EndObject();
    json.String("x\"y").Int(7).Bool(true);
    json.EndArray();
    EXPECT_EQ(out.str(), R"([{"a": -3, "b": false, "c": [], "d": null}, {}, "x\"y", 7, true])");
}

// ---- usage ------------------------------------------------------------------------------------

TEST(CliUsage, NoArgumentsPrintUsageOnStderrAndExit2)
{
    const Result r = Cli({});
    EXPECT_EQ(r.code, kExitUsage);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(Contains(r.err, "Usage: zembractl COMMAND"));
    for (const auto& name : kCommandNames) {
        EXPECT_TRUE(Contains(r.err, "\n  " + name + " FILE")) << name;
    }
}

TEST(CliUsage, ToolHelpGoesToStdout)
{
    for (const char* flag : {"--help", "-h"}) {
        const Result r = Cli({flag});
        EXPECT_EQ(r.code, kExitOk) << flag;
        EXPECT_EQ(r.err, "") << flag;
        EXPECT_TRUE(Contains(r.out, "Usage: zembractl COMMAND"));
        EXPECT_TRUE(Contains(r.out, "  list FILE [--json]\n"));
        EXPECT_TRUE(Contains(r.out, "  next FILE [--at TIME] [--json]\n"));
        EXPECT_TRUE(
            Contains(r.out, "  occurrences FILE [--from TIME] [--to TIME] [--count N] [--json]\n"));
        EXPECT_TRUE(Contains(r.out, "  due FILE --from TIME --to TIME [--json]\n"));
        EXPECT_TRUE(Contains(r.out, "  remove FILE INDEX\n"));
        EXPECT_TRUE(Contains(r.out, "  check FILE\n"));
        EXPECT_TRUE(Contains(r.out, "Exit status: 0 done, 2 wrong usage"));
    }
}

TEST(CliUsage, EveryCommandHasItsOwnHelpOnStdout)
{
    for (const auto& name : kCommandNames) {
        const Result r = Cli({name, "--help"});
        EXPECT_EQ(r.code, kExitOk) << name;
        EXPECT_EQ(r.err, "") << name;
        EXPECT_EQ(r.out.rfind("Usage: zembractl " + name + " FILE", 0), 0u) << r.out;
        EXPECT_TRUE(Contains(r.out, "--help"));
    }
    // --help wins over what is missing or wrong in the rest of the line.
    const Result due = Cli({"due", "--help"});
    EXPECT_EQ(due.code, kExitOk);
    EXPECT_TRUE(Contains(due.out, "--from TIME"));
    EXPECT_EQ(Cli({"list", "--bogus", "--help"}).code, kExitOk);
}

TEST(CliUsage, OccurrencesHelpSaysSwitchedOffAlarmsCount)
{
    const Result r = Cli({"occurrences", "--help"});
    ASSERT_EQ(r.code, kExitOk);
    EXPECT_TRUE(Contains(r.out, "switched on or not"));
    EXPECT_TRUE(Contains(r.out, "--count N"));
}

TEST(CliUsage, UnknownCommandIsAUsageError)
{
    const Result r = Cli({"frobnicate", Data("cli_alarms.zmb")});
    EXPECT_EQ(r.code, kExitUsage);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(Contains(r.err, "zembractl: unknown command 'frobnicate'"));
    EXPECT_TRUE(Contains(r.err, "Usage: zembractl COMMAND"));

    const Result option = Cli({"--version"});
    EXPECT_EQ(option.code, kExitUsage);
    EXPECT_TRUE(Contains(option.err, "unknown option '--version'"));
}

TEST(CliUsage, WrongCommandLinesExit2WithTheCommandsUsage)
{
    const std::string file = Data("cli_alarms.zmb");
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases{
        {{"list"}, "missing FILE"},
        {{"list", file, "extra"}, "unexpected argument 'extra'"},
        {{"list", file, "--bogus"}, "unknown option '--bogus'"},
        {{"list", file, "--json=yes"}, "--json takes no value"},
        {{"list", file, "--at", "2026-03-28T07:00"}, "unknown option '--at'"},
        {{"next", file, "--at"}, "--at needs a value (TIME)"},
        {{"next", file, "--at", "2026-03-28T07:00", "--at", "2026-03-28T08:00"},
         "--at is given more than once"},
        {{"due", file, "--from", "2026-03-28T07:00"}, "--to TIME is required"},
        {{"due", file, "--to", "2026-03-28T07:00"}, "--from TIME is required"},
        {{"add", file}, "--at TIME is required"},
        {{"remove", file}, "missing INDEX"},
        {{"enable"}, "missing FILE"},
        {{"check", file, file}, "unexpected argument"},
    };
    for (const auto& c : cases) {
        const Result r = Cli(c.args);
        EXPECT_EQ(r.code, kExitUsage) << c.message;
        EXPECT_EQ(r.out, "") << c.message;
        EXPECT_TRUE(Contains(r.err, c.message));
        EXPECT_TRUE(Contains(r.err, "Usage: zembractl " + c.args[0] + " "));
    }
}

TEST(CliUsage, OptionValuesMayFollowAnEqualsSign)
{
    const Result r = Cli({"next", Data("cli_alarms.zmb"), "--at=2026-03-28T06:45", "--json"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(
        r.out,
        R"({"index": 2, "local": "2026-03-28T07:00:00.000", "utc": "2026-03-28T06:00:00.000Z"})"
        "\n");
}

TEST(CliUsage, DoubleDashEndsTheOptions)
{
    const Result r = Cli({"list", "--json", "--", Data("cli_empty.zmb")});
    EXPECT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(r.out, "[]\n");
    const Result after = Cli({"list", Data("cli_empty.zmb"), "--", "--json"});
    EXPECT_EQ(after.code, kExitUsage);
    EXPECT_TRUE(Contains(after.err, "unexpected argument '--json'"));
}

TEST(CliUsage, MalformedOrImpossibleTimesAreUsageErrors)
{
    for (const char* bad :
         {"2026-02-30T07:00", "2026-03-28 07:00", "2026-03-28T7:00", "2026-03-28",
          "2026-03-28T07:00+01:00", "2026-03-28T07:00:00.5", "2026-03-28T24:00", "tomorrow", ""}) {
        const Result r = Cli({"next", Data("cli_alarms.zmb"), "--at", bad});
        EXPECT_EQ(r.code, kExitUsage) << bad;
        EXPECT_EQ(r.out, "") << bad;
        EXPECT_TRUE(Contains(r.err, std::string("--at: '") + bad + "'"));
    }
    // The command line is checked before the file is touched.
    const Result missing =
        Cli({"occurrences", "/nonexistent/zembra.zmb", "--to", "2026-13-01T00:00"});
    EXPECT_EQ(missing.code, kExitUsage);
    const Result due =
        Cli({"due", Data("cli_alarms.zmb"), "--from", "2026-03-28T07:00", "--to", "x"});
    EXPECT_EQ(due.code, kExitUsage);
    EXPECT_TRUE(Contains(due.err, "--to: 'x'"));
}

TEST(CliUsage, CountMustBeAPositiveWholeNumber)
{
    for (const char* bad : {"0", "-1", "abc", "3x", "", "1.5", "99999999999999999999999"}) {
        const Result r = Cli(
            {"occurrences", Data("cli_alarms.zmb"), "--from", "2026-03-27T00:00", "--count", bad});
        EXPECT_EQ(r.code, kExitUsage) << bad;
        EXPECT_EQ(r.out, "") << bad;
    }
}

// ---- list -------------------------------------------------------------------------------------

TEST(CliList, JsonGivesEveryAlarmWithItsFieldsInOrder)
{
    const Result r = Cli({"list", Data("cli_alarms.zmb"), "--json"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, kAlarmsJson);

    const JsonValue document = ParseJson(r.out);
    ASSERT_EQ(document.Array().size(), 5u);
    EXPECT_EQ(document[0].Keys(),
              (std::vector<std::string>{"index", "active", "type", "frequency", "local", "comment",
                                        "message", "sound", "program"}));
    EXPECT_EQ(document[2]["message"]["text"].String(), "Dzień dobry, \"śpiochu\"");
    EXPECT_FALSE(document[3]["active"].Bool());
    EXPECT_EQ(document[3]["program"]["text"].String(), "shutdown -h now");
}

TEST(CliList, TextIsATableInListOrder)
{
    const Result r = Cli({"list", Data("cli_alarms.zmb")});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(r.out,
              "#  On   Type       Frequency    Local time               Actions  Comment\n"
              "0  yes  wakeup     workdays     2008-03-14T06:30:00.000  message  Praca\n"
              "1  yes  standby    monthly      2026-01-31T08:00:00.000  sound    Rachunki\n"
              "2  yes  wakeup     everyday     2026-03-01T07:00:00.000  message  Codziennie\n"
              "3  no   shutdown   once         2026-03-30T12:00:00.000  program  Wyłącz\n"
              "4  yes  hibernate  fortnightly  2026-03-02T07:00:00.000  -        Nieznana\n");
}

TEST(CliList, EmptyList)
{
    const Result json = Cli({"list", Data("cli_empty.zmb"), "--json"});
    EXPECT_EQ(json.code, kExitOk);
    EXPECT_EQ(json.out, "[]\n");
    const Result text = Cli({"list", Data("cli_empty.zmb")});
    EXPECT_EQ(text.code, kExitOk);
    EXPECT_EQ(text.out, Data("cli_empty.zmb") + ": no alarms\n");
}

TEST(CliList, FileErrors)
{
    TempDir dir;
    const std::string missing = dir.File("missing.zmb");
    const Result none = Cli({"list", missing, "--json"});
    EXPECT_EQ(none.code, kExitFileError);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "zembractl: cannot read " + missing + ": No such file or directory\n");

    const Result folder = Cli({"list", dir.File("")});
    EXPECT_EQ(folder.code, kExitFileError);
    EXPECT_TRUE(Contains(folder.err, "zembractl: cannot read "));

    for (const char* name : {"cli_garbage.zmb", "cli_other_root.zmb"}) {
        const Result r = Cli({"list", Data(name), "--json"});
        EXPECT_EQ(r.code, kExitNotAlarmList) << name;
        EXPECT_EQ(r.out, "") << name;
        EXPECT_TRUE(Contains(r.err, "zembractl: " + Data(name) + ": not an alarm list"));
    }
}

// ---- next -------------------------------------------------------------------------------------

TEST(CliNext, FindsTheEarliestFiringNotTheFirstAlarm)
{
    // From Saturday 06:45 the everyday alarm (third in the list) comes before Monday's workday.
    const Result r = Cli({"next", Data("cli_alarms.zmb"), "--at", "2026-03-28T06:45", "--json"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(
        r.out,
        R"({"index": 2, "local": "2026-03-28T07:00:00.000", "utc": "2026-03-28T06:00:00.000Z"})"
        "\n");

    const Result text = Cli({"next", Data("cli_alarms.zmb"), "--at", "2026-03-28T06:45"});
    EXPECT_EQ(text.out,
              "alarm 2 (everyday) fires at 2026-03-28T07:00:00.000 (2026-03-28T06:00:00.000Z): "
              "Codziennie\n");
}

TEST(CliNext, AFiringExactlyAtTheTimeCounts)
{
    const Result r = Cli({"next", Data("cli_alarms.zmb"), "--at", "2026-03-28T07:00", "--json"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(ParseJson(r.out)["local"].String(), "2026-03-28T07:00:00.000");
}

TEST(CliNext, UtcTimesAreReadAsUtc)
{
    // 05:45Z is 06:45 in Warsaw on 28 March (winter time).
    const Result r = Cli({"next", Data("cli_alarms.zmb"), "--at", "2026-03-28T05:45Z", "--json"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(ParseJson(r.out)["utc"].String(), "2026-03-28T06:00:00.000Z");

    // A millisecond after Saturday's firing: the next is Sunday's, already in summer time.
    const Result later =
        Cli({"next", Data("cli_alarms.zmb"), "--at", "2026-03-28T06:00:00.001Z", "--json"});
    ASSERT_EQ(later.code, kExitOk) << later.err;
    EXPECT_EQ(
        later.out,
        R"({"index": 2, "local": "2026-03-29T07:00:00.000", "utc": "2026-03-29T05:00:00.000Z"})"
        "\n");
}

TEST(CliNext, SwitchedOffAlarmsAreSkipped)
{
    // The switched-off one-time alarm at 12:00 on 30 March would otherwise come first.
    const Result r = Cli({"next", Data("cli_alarms.zmb"), "--at", "2026-03-30T11:00", "--json"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(
        r.out,
        R"({"index": 0, "local": "2026-03-31T06:30:00.000", "utc": "2026-03-31T04:30:00.000Z"})"
        "\n");
}

TEST(CliNext, NullWhenNothingIsPending)
{
    const Result empty = Cli({"next", Data("cli_empty.zmb"), "--at", "2026-03-28T06:45", "--json"});
    EXPECT_EQ(empty.code, kExitOk);
    EXPECT_EQ(empty.out, "null\n");

    TempDir dir;
    const std::string file = dir.File("past.zmb");
    ASSERT_EQ(Cli({"add", file, "--at", "2026-01-10T10:00"}).code, kExitOk);
    const Result past = Cli({"next", file, "--at", "2026-01-10T10:00:01", "--json"});
    EXPECT_EQ(past.code, kExitOk);
    EXPECT_EQ(past.out, "null\n");
    const Result text = Cli({"next", file, "--at", "2026-01-10T10:00:01"});
    EXPECT_EQ(text.out, "no alarm pending\n");
}

TEST(CliNext, DefaultsToThePresentMoment)
{
    const Result injected =
        RunAt({"next", Data("cli_alarms.zmb"), "--json"}, UtcFt("2026-03-28T05:45:00Z"));
    ASSERT_EQ(injected.code, kExitOk) << injected.err;
    EXPECT_EQ(ParseJson(injected.out)["utc"].String(), "2026-03-28T06:00:00.000Z");

    // With the real clock: an alarm of 2008 has passed, one of 2999 has not.
    TempDir dir;
    const std::string past = dir.File("past.zmb");
    const std::string future = dir.File("future.zmb");
    ASSERT_EQ(Cli({"add", past, "--at", "2008-03-14T06:30"}).code, kExitOk);
    ASSERT_EQ(Cli({"add", future, "--at", "2999-03-14T06:30"}).code, kExitOk);
    EXPECT_EQ(Cli({"next", past, "--json"}).out, "null\n");
    const Result r = Cli({"next", future, "--json"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(ParseJson(r.out)["local"].String(), "2999-03-14T06:30:00.000");
}

TEST(CliNext, OfEqualFiringsTheFirstInTheListWins)
{
    TempDir dir;
    const std::string file = dir.File("tie.zmb");
    ASSERT_EQ(Cli({"add", file, "--at", "2026-05-04T08:00", "--comment", "first"}).out, "0\n");
    ASSERT_EQ(Cli({"add", file, "--at", "2026-05-04T08:00", "--comment", "second"}).out, "1\n");
    const std::vector<std::string> next{"next", file, "--at", "2026-05-01T00:00", "--json"};
    EXPECT_EQ(ParseJson(Cli(next).out)["index"].Int(), 0);
    ASSERT_EQ(Cli({"disable", file, "0"}).code, kExitOk);
    EXPECT_EQ(ParseJson(Cli(next).out)["index"].Int(), 1);
}

TEST(CliNext, FileErrors)
{
    EXPECT_EQ(Cli({"next", "/nonexistent/zembra.zmb"}).code, kExitFileError);
    EXPECT_EQ(Cli({"next", Data("cli_garbage.zmb")}).code, kExitNotAlarmList);
}

// ---- occurrences ------------------------------------------------------------------------------

TEST(CliOccurrences, KnownDatesForEveryAlarm)
{
    const Result r = Cli({"occurrences", Data("cli_alarms.zmb"), "--from", "2026-03-27T00:00",
                          "--count", "3", "--json"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, kOccurrencesJson);
    EXPECT_EQ(ParseJson(r.out).Array().size(), 5u);
}

TEST(CliOccurrences, EverydayAlarmKeepsItsLocalTimeAcrossTheSpringChange)
{
    const Result r = Cli({"occurrences", Data("cli_alarms.zmb"), "--from", "2026-03-28T00:00",
                          "--count", "3", "--json"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(FiringsOf(ParseJson(r.out), 2),
              (Firings{{"2026-03-28T07:00:00.000", "2026-03-28T06:00:00.000Z"},
                       {"2026-03-29T07:00:00.000", "2026-03-29T05:00:00.000Z"},
                       {"2026-03-30T07:00:00.000", "2026-03-30T05:00:00.000Z"}}));
}

TEST(CliOccurrences, EverydayAlarmKeepsItsLocalTimeAcrossTheAutumnChange)
{
    const Result r = Cli({"occurrences", Data("cli_alarms.zmb"), "--from", "2026-10-24T00:00",
                          "--count", "2", "--json"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(FiringsOf(ParseJson(r.out), 2),
              (Firings{{"2026-10-24T07:00:00.000", "2026-10-24T05:00:00.000Z"},
                       {"2026-10-25T07:00:00.000", "2026-10-25T06:00:00.000Z"}}));
}

TEST(CliOccurrences, ToIsAnInclusiveLimit)
{
    const Result r = Cli({"occurrences", Data("cli_alarms.zmb"), "--from", "2026-03-27T00:00",
                          "--to", "2026-03-30T07:00", "--count", "10", "--json"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    const JsonValue document = ParseJson(r.out);
    EXPECT_EQ(FiringsOf(document, 0),
              (Firings{{"2026-03-27T06:30:00.000", "2026-03-27T05:30:00.000Z"},
                       {"2026-03-30T06:30:00.000", "2026-03-30T04:30:00.000Z"}}));
    EXPECT_EQ(FiringsOf(document, 1), Firings{});
    EXPECT_EQ(FiringsOf(document, 2),
              (Firings{{"2026-03-27T07:00:00.000", "2026-03-27T06:00:00.000Z"},
                       {"2026-03-28T07:00:00.000", "2026-03-28T06:00:00.000Z"},
                       {"2026-03-29T07:00:00.000", "2026-03-29T05:00:00.000Z"},
                       {"2026-03-30T07:00:00.000", "2026-03-30T05:00:00.000Z"}}));
    EXPECT_EQ(FiringsOf(document, 3), Firings{});
    EXPECT_EQ(FiringsOf(document, 4), Firings{});
}

TEST(CliOccurrences, FiveByDefaultAndAOneTimeAlarmAtMostOnce)
{
    const Result r =
        Cli({"occurrences", Data("cli_alarms.zmb"), "--from", "2026-03-27T00:00", "--json"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    const JsonValue document = ParseJson(r.out);
    const Firings workdays = FiringsOf(document, 0);
    ASSERT_EQ(workdays.size(), 5u);
    EXPECT_EQ(workdays[3].first, "2026-04-01T06:30:00.000");
    EXPECT_EQ(workdays[4].first, "2026-04-02T06:30:00.000");
    EXPECT_EQ(FiringsOf(document, 2).size(), 5u);
    EXPECT_EQ(FiringsOf(document, 3).size(), 1u);
    // Before the one-time alarm's moment it is still found once; after it, never.
    const Result after =
        Cli({"occurrences", Data("cli_alarms.zmb"), "--from", "2026-03-30T12:00:00.001", "--json"});
    EXPECT_EQ(FiringsOf(ParseJson(after.out), 3), Firings{});
}

TEST(CliOccurrences, DefaultsToThePresentMoment)
{
    const Result r = RunAt({"occurrences", Data("cli_alarms.zmb"), "--count", "1", "--json"},
                           UtcFt("2026-10-24T05:00:00.001Z"));
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(FiringsOf(ParseJson(r.out), 2),
              (Firings{{"2026-10-25T07:00:00.000", "2026-10-25T06:00:00.000Z"}}));
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
                     "  2026-03-30T12:00:00.000  2026-03-30T10:00:00.000Z\n"
                     "alarm 4 (fortnightly): Nieznana\n"
                     "  no firing\n");
}

TEST(CliOccurrences, FileErrors)
{
    EXPECT_EQ(Cli({"occurrences", "/nonexistent/zembra.zmb"}).code, kExitFileError);
    EXPECT_EQ(Cli({"occurrences", Data("cli_other_root.zmb")}).code, kExitNotAlarmList);
}

// ---- due --------------------------------------------------------------------------------------

std::string Due(const char* from, const char* to)
{
    const Result r = Cli({"due", Data("cli_alarms.zmb"), "--from", from, "--to", to, "--json"});
    EXPECT_EQ(r.code, kExitOk) << r.err;
    return r.out;
}

TEST(CliDue, WalksTheSwitchedOnAlarmsDueInTheWindow)
{
    // The switched-off one-time alarm at 12:00 lies in the window too, but is not due.
    EXPECT_EQ(Due("2026-03-30T06:00", "2026-03-30T12:30"), "[0, 2]\n");
    EXPECT_EQ(Due("2026-03-31T00:00", "2026-03-31T23:59"), "[0, 1, 2]\n");
    EXPECT_EQ(Due("2026-03-28T08:00", "2026-03-28T09:00"), "[]\n");
    // Both ends are included.
    EXPECT_EQ(Due("2026-03-28T07:00", "2026-03-28T07:00"), "[2]\n");
    EXPECT_EQ(Due("2026-03-28T05:00Z", "2026-03-28T06:00Z"), "[2]\n");
    EXPECT_EQ(Due("2026-03-28T05:00Z", "2026-03-28T05:59:59.999Z"), "[]\n");
}

TEST(CliDue, TextHasOneLinePerAlarm)
{
    const Result r = Cli(
        {"due", Data("cli_alarms.zmb"), "--from", "2026-03-31T00:00", "--to", "2026-03-31T23:59"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(r.out, "0  2026-03-31T06:30:00.000  workdays  Praca\n"
                     "1  2026-03-31T08:00:00.000  monthly   Rachunki\n"
                     "2  2026-03-31T07:00:00.000  everyday  Codziennie\n");
}

TEST(CliDue, FileErrors)
{
    EXPECT_EQ(Cli({"due", "/nonexistent/zembra.zmb", "--from", "2026-03-31T00:00", "--to",
                   "2026-03-31T23:59"})
                  .code,
              kExitFileError);
    EXPECT_EQ(Cli({"due", Data("cli_garbage.zmb"), "--from", "2026-03-31T00:00", "--to",
                   "2026-03-31T23:59"})
                  .code,
              kExitNotAlarmList);
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
    ASSERT_TRUE(fs::exists(file));
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

TEST(CliAdd, DefaultsAndUtcTime)
{
    TempDir dir;
    const std::string file = dir.File("utc.zmb");
    // 07:15Z on 1 July is 09:15 in Warsaw (summer time); the alarm keeps the local time.
    const Result added = Cli({"add", file, "--at", "2026-07-01T07:15Z", "--sound", "/x/dzwonek.wav",
                              "--program", "cmd /c echo", "--inactive"});
    ASSERT_EQ(added.code, kExitOk) << added.err;
    EXPECT_EQ(added.out, "0\n");
    const JsonValue alarm = ParseJson(Cli({"list", file, "--json"}).out)[0];
    EXPECT_FALSE(alarm["active"].Bool());
    EXPECT_EQ(alarm["type"].String(), "wakeup");
    EXPECT_EQ(alarm["frequency"].String(), "once");
    EXPECT_EQ(alarm["local"].String(), "2026-07-01T09:15:00.000");
    EXPECT_EQ(alarm["comment"].String(), "");
    EXPECT_FALSE(alarm["message"]["active"].Bool());
    EXPECT_EQ(alarm["message"]["text"].String(), "");
    EXPECT_TRUE(alarm["sound"]["active"].Bool());
    EXPECT_EQ(alarm["sound"]["text"].String(), "/x/dzwonek.wav");
    EXPECT_TRUE(alarm["program"]["active"].Bool());
    EXPECT_EQ(alarm["program"]["text"].String(), "cmd /c echo");

    // An option given with an empty text still switches its action on.
    ASSERT_EQ(Cli({"add", file, "--at", "2026-07-02T09:15", "--message", ""}).out, "1\n");
    const JsonValue second = ParseJson(Cli({"list", file, "--json"}).out)[1];
    EXPECT_TRUE(second["active"].Bool());
    EXPECT_TRUE(second["message"]["active"].Bool());
    EXPECT_EQ(second["message"]["text"].String(), "");

    // The firing of the first one is 07:15 UTC.
    const Result occ = Cli({"occurrences", file, "--from", "2026-06-30T00:00", "--json"});
    EXPECT_EQ(FiringsOf(ParseJson(occ.out), 0),
              (Firings{{"2026-07-01T09:15:00.000", "2026-07-01T07:15:00.000Z"}}));
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
    const JsonValue document = ParseJson(json);
    ASSERT_EQ(document.Array().size(), 6u);
    EXPECT_EQ(document[5]["frequency"].String(), "yearly");
    EXPECT_EQ(document[5]["type"].String(), "standby");
    EXPECT_EQ(document[5]["local"].String(), "2026-12-24T18:00:00.000");
}

TEST(CliAdd, TextsRoundTripThroughTheFileAndJson)
{
    TempDir dir;
    const std::string file = dir.File("texts.zmb");
    const std::string comment = R"(Say "hi" \ to <me> & 'you')";
    const std::string message = "Zażółć gęślą jaźń";
    const std::string program = "notify-send ⏰"; // no windows-1250 byte: the file is kept in UTF-8
    ASSERT_EQ(Cli({"add", file, "--at", "2026-07-01T09:15", "--comment", comment, "--message",
                   message, "--program", program})
                  .code,
              kExitOk);
    const Result r = Cli({"list", file, "--json"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_TRUE(Contains(r.out, R"("comment": "Say \"hi\" \\ to <me> & 'you'")"));
    const JsonValue alarm = ParseJson(r.out)[0];
    EXPECT_EQ(alarm["comment"].String(), comment);
    EXPECT_EQ(alarm["message"]["text"].String(), message);
    EXPECT_EQ(alarm["program"]["text"].String(), program);
}

TEST(CliAdd, RejectsUnknownFrequenciesAndTypesWithoutWriting)
{
    TempDir dir;
    const std::string file = dir.File("never.zmb");
    for (const std::vector<std::string>& extra :
         std::vector<std::vector<std::string>>{{"--frequency", "Weekly"},
                                               {"--frequency", "daily"},
                                               {"--frequency", ""},
                                               {"--type", "sleep"},
                                               {"--type", "WAKEUP"}}) {
        std::vector<std::string> args{"add", file, "--at", "2026-07-01T09:15"};
        args.insert(args.end(), extra.begin(), extra.end());
        const Result r = Cli(args);
        EXPECT_EQ(r.code, kExitUsage) << extra[1];
        EXPECT_TRUE(Contains(r.err, extra[0] + ": '" + extra[1] + "' is not one of"));
        EXPECT_FALSE(fs::exists(file)) << extra[1];
    }
    for (const char* frequency :
         {"once", "everyday", "workdays", "weekend", "weekly", "monthly", "yearly"}) {
        EXPECT_EQ(Cli({"add", file, "--at", "2026-07-01T09:15", "--frequency", frequency}).code,
                  kExitOk);
    }
    for (const char* type : {"wakeup", "standby", "hibernate", "shutdown"}) {
        EXPECT_EQ(Cli({"add", file, "--at", "2026-07-01T09:15", "--type", type}).code, kExitOk);
    }
    EXPECT_EQ(ParseJson(Cli({"list", file, "--json"}).out).Array().size(), 11u);
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
}

TEST(CliAdd, FilesThatCannotBeReadOrWritten)
{
    TempDir dir;
    // A folder where the file should be cannot be read as a list.
    const Result folder = Cli({"add", dir.File(""), "--at", "2026-07-01T09:15"});
    EXPECT_EQ(folder.code, kExitFileError);
    EXPECT_TRUE(Contains(folder.err, "zembractl: cannot read "));

    // A file in a folder that does not exist cannot be written.
    const std::string nowhere = dir.File("no-such-folder/new.zmb");
    const Result r = Cli({"add", nowhere, "--at", "2026-07-01T09:15"});
    EXPECT_EQ(r.code, kExitFileError);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(Contains(r.err, "zembractl: cannot write " + nowhere + ": "));
    EXPECT_FALSE(fs::exists(nowhere));
}

// ---- remove, enable, disable ------------------------------------------------------------------

std::vector<bool> ActiveFlags(const std::string& file)
{
    std::vector<bool> flags;
    const JsonValue document = ParseJson(Cli({"list", file, "--json"}).out);
    for (const auto& alarm : document.Array()) {
        flags.push_back(alarm["active"].Bool());
    }
    return flags;
}

std::vector<std::string> Comments(const std::string& file)
{
    std::vector<std::string> comments;
    const JsonValue document = ParseJson(Cli({"list", file, "--json"}).out);
    for (const auto& alarm : document.Array()) {
        comments.push_back(alarm["comment"].String());
    }
    return comments;
}

TEST(CliChange, EnableAndDisableRoundTrip)
{
    TempDir dir;
    const std::string file = dir.Copy("cli_alarms.zmb");
    ASSERT_EQ(ActiveFlags(file), (std::vector<bool>{true, true, true, false, true}));

    const Result off = Cli({"disable", file, "0"});
    EXPECT_EQ(off.code, kExitOk) << off.err;
    EXPECT_EQ(off.err, "");
    EXPECT_EQ(ActiveFlags(file), (std::vector<bool>{false, true, true, false, true}));

    EXPECT_EQ(Cli({"enable", file, "3"}).code, kExitOk);
    EXPECT_EQ(ActiveFlags(file), (std::vector<bool>{false, true, true, true, true}));

    // Setting what is already set changes nothing.
    EXPECT_EQ(Cli({"enable", file, "3"}).code, kExitOk);
    EXPECT_EQ(Cli({"enable", file, "0"}).code, kExitOk);
    EXPECT_EQ(Cli({"disable", file, "3"}).code, kExitOk);
    EXPECT_EQ(ActiveFlags(file), (std::vector<bool>{true, true, true, false, true}));

    // Nothing else of the alarms moved.
    EXPECT_EQ(Cli({"list", file, "--json"}).out, kAlarmsJson);
}

TEST(CliChange, RemoveRenumbersTheRest)
{
    TempDir dir;
    const std::string file = dir.Copy("cli_alarms.zmb");
    EXPECT_EQ(Cli({"remove", file, "1"}).code, kExitOk);
    EXPECT_EQ(Comments(file),
              (std::vector<std::string>{"Praca", "Codziennie", "Wyłącz", "Nieznana"}));
    EXPECT_EQ(Cli({"remove", file, "3"}).code, kExitOk);
    EXPECT_EQ(Cli({"remove", file, "0"}).code, kExitOk);
    EXPECT_EQ(Comments(file), (std::vector<std::string>{"Codziennie", "Wyłącz"}));
    const JsonValue document = ParseJson(Cli({"list", file, "--json"}).out);
    EXPECT_EQ(document[0]["index"].Int(), 0);
    EXPECT_EQ(document[1]["index"].Int(), 1);
    EXPECT_EQ(Cli({"remove", file, "0"}).code, kExitOk);
    EXPECT_EQ(Cli({"remove", file, "0"}).code, kExitOk);
    EXPECT_EQ(Cli({"list", file, "--json"}).out, "[]\n");
    EXPECT_EQ(Cli({"check", file}).code, kExitOk);
}

TEST(CliChange, IndexOutOfRangeNamesTheValidRangeAndChangesNothing)
{
    TempDir dir;
    const std::string file = dir.Copy("cli_alarms.zmb");
    const std::string before = ReadBytes(file);
    for (const char* command : {"remove", "enable", "disable"}) {
        const Result r = Cli({command, file, "5"});
        EXPECT_EQ(r.code, kExitUsage) << command;
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(Contains(r.err, "index 5 is out of range: valid indexes are 0 to 4"));
    }
    EXPECT_EQ(Cli({"remove", file, "99999999999999999999999"}).code, kExitUsage);
    for (const char* bad : {"x", "-1", "1.0", "", " 1", "+1"}) {
        const Result r = Cli({"disable", file, bad});
        EXPECT_EQ(r.code, kExitUsage) << bad;
        EXPECT_TRUE(Contains(r.err, "INDEX must be a number")) << bad;
    }
    EXPECT_EQ(ReadBytes(file), before);

    const std::string empty = dir.Copy("cli_empty.zmb");
    const Result none = Cli({"remove", empty, "0"});
    EXPECT_EQ(none.code, kExitUsage);
    EXPECT_TRUE(Contains(none.err, "holds no alarms"));
}

TEST(CliChange, FileErrorsLeaveTheFileAsItWas)
{
    TempDir dir;
    const std::string missing = dir.File("missing.zmb");
    const Result r = Cli({"enable", missing, "0"});
    EXPECT_EQ(r.code, kExitFileError);
    EXPECT_EQ(r.err, "zembractl: cannot read " + missing + ": No such file or directory\n");
    EXPECT_FALSE(fs::exists(missing));

    const std::string garbage = dir.Copy("cli_garbage.zmb");
    const std::string before = ReadBytes(garbage);
    for (const char* command : {"remove", "enable", "disable"}) {
        EXPECT_EQ(Cli({command, garbage, "0"}).code, kExitNotAlarmList) << command;
    }
    EXPECT_EQ(ReadBytes(garbage), before);
}

// ---- check ------------------------------------------------------------------------------------

TEST(CliCheck, AlarmListsPass)
{
    const Result r = Cli({"check", Data("cli_alarms.zmb")});
    EXPECT_EQ(r.code, kExitOk);
    EXPECT_EQ(r.out, Data("cli_alarms.zmb") + ": alarm list with 5 alarms\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(Cli({"check", Data("cli_empty.zmb")}).out,
              Data("cli_empty.zmb") + ": alarm list with 0 alarms\n");
}

TEST(CliCheck, OtherFilesFailWithTheParsersReason)
{
    const Result garbage = Cli({"check", Data("cli_garbage.zmb")});
    EXPECT_EQ(garbage.code, kExitNotAlarmList);
    EXPECT_EQ(garbage.out, "");
    EXPECT_TRUE(
        Contains(garbage.err, "zembractl: " + Data("cli_garbage.zmb") + ": not an alarm list: "));

    const Result other = Cli({"check", Data("cli_other_root.zmb")});
    EXPECT_EQ(other.code, kExitNotAlarmList);
    EXPECT_TRUE(Contains(other.err, Data("cli_other_root.zmb")
                                        + ": not an alarm list: the root element is not Zembra"));

    TempDir dir;
    const std::string blank = dir.File("blank.zmb");
    WriteBytes(blank, "\r\n");
    const Result empty = Cli({"check", blank});
    EXPECT_EQ(empty.code, kExitNotAlarmList);
    EXPECT_TRUE(Contains(empty.err, "the file is empty"));
}

TEST(CliCheck, UnreadableFiles)
{
    TempDir dir;
    const std::string missing = dir.File("missing.zmb");
    const Result r = Cli({"check", missing});
    EXPECT_EQ(r.code, kExitFileError);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "zembractl: cannot read " + missing + ": No such file or directory\n");

    const Result folder = Cli({"check", dir.File("")});
    EXPECT_EQ(folder.code, kExitFileError);
    EXPECT_TRUE(Contains(folder.err, "Is a directory"));
}

// ---- the real binary --------------------------------------------------------------------------

// Runs zembractl as its own process with the given zone; output is collected through files in
// a temporary folder, which never blocks however much either stream receives.
Result RunBinary(const std::vector<std::string>& args, const char* zone = "Europe/Warsaw")
{
    TempDir dir;
    const std::string outPath = dir.File("stdout");
    const std::string errPath = dir.File("stderr");

    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::strncmp(*entry, "TZ=", 3) != 0) {
            environment.emplace_back(*entry);
        }
    }
    environment.push_back(std::string("TZ=") + zone);
    std::vector<char*> envp;
    for (auto& entry : environment) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);

    std::vector<std::string> argvStrings{ZEMBRACTL_PATH};
    argvStrings.insert(argvStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& arg : argvStrings) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, ZEMBRACTL_PATH, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        throw std::runtime_error("cannot start zembractl: error " + std::to_string(spawned));
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            throw std::runtime_error("waitpid failed");
        }
    }
    Result result;
    result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadBytes(outPath);
    result.err = ReadBytes(errPath);
    return result;
}

TEST(CliBinary, ListJson)
{
    const Result r = RunBinary({"list", Data("cli_alarms.zmb"), "--json"});
    EXPECT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(r.out, kAlarmsJson);
    EXPECT_EQ(r.err, "");
}

TEST(CliBinary, OccurrencesOfWorkdaysAndTheThirtyFirst)
{
    const Result r = RunBinary({"occurrences", Data("cli_alarms.zmb"), "--from", "2026-03-27T00:00",
                                "--count", "3", "--json"});
    EXPECT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(r.out, kOccurrencesJson);
}

TEST(CliBinary, UsesTheProcesssZone)
{
    // The file holds 05:30 UTC; in UTC that is the local time too.
    const Result r = RunBinary({"list", Data("cli_alarms.zmb"), "--json"}, "UTC");
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(ParseJson(r.out)[0]["local"].String(), "2008-03-14T05:30:00.000");

    const Result next =
        RunBinary({"next", Data("cli_alarms.zmb"), "--at", "2026-03-28T05:45", "--json"}, "UTC");
    ASSERT_EQ(next.code, kExitOk) << next.err;
    EXPECT_EQ(
        next.out,
        R"({"index": 2, "local": "2026-03-28T06:00:00.000", "utc": "2026-03-28T06:00:00.000Z"})"
        "\n");
}

TEST(CliBinary, ExitCodesAndStreams)
{
    const Result none = RunBinary({});
    EXPECT_EQ(none.code, kExitUsage);
    EXPECT_EQ(none.out, "");
    EXPECT_TRUE(Contains(none.err, "Usage: zembractl COMMAND"));

    const Result help = RunBinary({"--help"});
    EXPECT_EQ(help.code, kExitOk);
    EXPECT_TRUE(Contains(help.out, "Usage: zembractl COMMAND"));
    EXPECT_EQ(help.err, "");

    const Result listHelp = RunBinary({"list", "--help"});
    EXPECT_EQ(listHelp.code, kExitOk);
    EXPECT_EQ(listHelp.out.rfind("Usage: zembractl list FILE [--json]\n", 0), 0u);

    TempDir dir;
    const std::string missing = dir.File("missing.zmb");
    const Result r = RunBinary({"check", missing});
    EXPECT_EQ(r.code, kExitFileError);
    EXPECT_EQ(r.err, "zembractl: cannot read " + missing + ": No such file or directory\n");

    EXPECT_EQ(RunBinary({"check", Data("cli_garbage.zmb")}).code, kExitNotAlarmList);
    EXPECT_EQ(RunBinary({"next", Data("cli_alarms.zmb"), "--at", "soon"}).code, kExitUsage);
}

TEST(CliBinary, AddThenList)
{
    TempDir dir;
    const std::string file = dir.File("e2e.zmb");
    const Result added = RunBinary({"add", file, "--at", "2026-03-29T07:00", "--frequency",
                                    "everyday", "--comment", "Pobudka"});
    ASSERT_EQ(added.code, kExitOk) << added.err;
    EXPECT_EQ(added.out, "0\n");
    const Result occ =
        RunBinary({"occurrences", file, "--from", "2026-03-29T00:00", "--count", "2", "--json"});
    ASSERT_EQ(occ.code, kExitOk) << occ.err;
    EXPECT_EQ(occ.out,
              R"([{"index": 0, "occurrences": [)"
              R"({"local": "2026-03-29T07:00:00.000", "utc": "2026-03-29T05:00:00.000Z"}, )"
              R"({"local": "2026-03-30T07:00:00.000", "utc": "2026-03-30T05:00:00.000Z"}]}])"
              "\n");
}

} // namespace
