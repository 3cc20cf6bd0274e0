#include "TestSupport.h"
#include "model/CScheduler.h"
#include "model/Cp1250.h"
#include "model/ListLock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sys/stat.h>
#include <tuple>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

using namespace zembra;
using namespace zembra::test;
namespace fs = std::filesystem;

namespace {

// Access rights that a save must keep: the permission bits, or on Windows the file's attributes,
// which go with the file a save replaces. Elsewhere the system's own windows-1250 decoder for one
// byte (nullopt where the code page defines none).
#ifdef _WIN32
bool RestrictAccess(const std::string& path)
{
    return ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN) != 0;
}
bool AccessIsRestricted(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
}
#else
std::optional<std::string> SystemCp1250ToUtf8(char c)
{
    const iconv_t converter = iconv_open("UTF-8", "WINDOWS-1250");
    char in[1] = {c};
    char out[8] = {};
    char* inPtr = in;
    char* outPtr = out;
    std::size_t inLeft = 1;
    std::size_t outLeft = sizeof out;
    const bool converted =
        iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(converter);
    return converted ? std::optional(std::string(out, static_cast<std::size_t>(outPtr - out)))
                     : std::nullopt;
}
bool RestrictAccess(const std::string& path)
{
    return ::chmod(path.c_str(), 0640) == 0;
}
bool AccessIsRestricted(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && (info.st_mode & 0777) == 0640u;
}
#endif

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::unique_ptr<CAlarm> ExampleAlarm(const char* comment = "Praca")
{
    auto alarm = NewAlarm(kFrequencyWorkdays, St(2008, 3, 14, 6, 30));
    alarm->m_strComment = comment;
    alarm->m_strMessage = "Wstawaj!";
    alarm->m_bMessageActive = true;
    alarm->m_strProgram = "notepad.exe";
    return alarm;
}

// The text of a list of the given alarms, and that text loaded again.
std::string TextOf(std::vector<std::unique_ptr<CAlarm>> alarms)
{
    CScheduler schedule;
    for (auto& alarm : alarms) {
        schedule.AddAlarm(std::move(alarm));
    }
    return schedule.ToFileText();
}
std::unique_ptr<CScheduler> Load(const std::string& text)
{
    auto loaded = std::make_unique<CScheduler>();
    EXPECT_EQ(loaded->AppendFromFileText(text), CScheduler::LoadStatus::Read);
    return loaded;
}
bool Holds(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"windows-1250\"?>\r\n";

std::string
AlarmElement(const std::string& inner,
             const std::string& attributes = R"(Active="1" Type="wakeup" Frequency="once")")
{
    return "<Alarm " + attributes + ">\r\n" + inner + "</Alarm>\r\n";
}

} // namespace

TEST(AlarmFile, ExampleIsWrittenByteForByte)
{
    ScopedTimeZone zone("Europe/Warsaw"); // one hour east of UTC in March 2008
    TempDir dir;
    CScheduler schedule;
    schedule.AddAlarm(ExampleAlarm());
    ASSERT_EQ(schedule.SaveToFile(dir.File("list.zmb")), 0);
    EXPECT_EQ(ReadBytes(dir.File("list.zmb")),
              kDeclaration
                  + "<Zembra Version=\"1\">\r\n"
                    "<Alarm Active=\"1\" Type=\"wakeup\" Frequency=\"workdays\">\r\n"
                    "<Date Year=\"2008\" Month=\"3\" Day=\"14\" DayOfWeek=\"5\"/>\r\n"
                    "<Time Hour=\"5\" Min=\"30\" Sec=\"0\"/>\r\n"
                    "<Comment>Praca</Comment>\r\n"
                    "<Message Active=\"1\">Wstawaj!</Message>\r\n"
                    "<Sound Active=\"0\"/>\r\n"
                    "<Program Active=\"0\">notepad.exe</Program>\r\n"
                    "</Alarm>\r\n"
                    "</Zembra>\r\n");
    EXPECT_EQ(dir.EntryCount(), 1u); // no temporary file left behind
    EXPECT_EQ(TextOf({}), kDeclaration + "<Zembra Version=\"1\"/>\r\n");
}

TEST(AlarmFile, RoundTripKeepsOrderAndEveryFieldButMilliseconds)
{
    TempDir dir;
    CScheduler schedule;
    const char* frequencies[] = {kFrequencyYearly, kFrequencyOnce, kFrequencyMonthly, "Odd"};
    for (int i = 0; i < 4; ++i) {
        auto alarm = ExampleAlarm();
        alarm->m_strFrequency = frequencies[i];
        alarm->m_strType = i % 2 == 0 ? kTypeHibernate : kTypeShutdown;
        alarm->m_time = St(2026, 2 + i, 10 + i, 5 + i, 7 * i, 59, 640);
        alarm->m_strComment = "a < b & c > d \"quoted\" 'single' #" + std::to_string(i);
        alarm->m_strSound = i == 1 ? "" : "/home/u/Dźwięki/budzik.wav";
        alarm->m_bSoundActive = i == 2;
        alarm->m_bProgramActive = i == 3;
        alarm->m_bActive = i != 1;
        schedule.AddAlarm(std::move(alarm));
    }
    ASSERT_EQ(schedule.SaveToFile(dir.File("list.zmb")), 0);
    CScheduler loaded;
    ASSERT_EQ(loaded.LoadFromFile(dir.File("list.zmb")), 0);
    EXPECT_EQ(loaded.GetLastLoadStatus(), CScheduler::LoadStatus::Read);
    // Saved again, every field comes out the same, in the same order.
    EXPECT_EQ(loaded.ToFileText(), schedule.ToFileText());
    ASSERT_EQ(loaded.Count(), 4u);
    EXPECT_EQ(loaded.At(3)->m_strComment, schedule.At(3)->m_strComment);
    EXPECT_EQ(loaded.At(3)->m_time.wMilliseconds, 0);
    EXPECT_EQ(loaded.At(3)->m_time.wSecond, 59);
    EXPECT_FALSE(loaded.At(0)->m_bHandled);
}

struct TextCase {
    const char* name;
    const char* comment;
    const char* message;
    std::string written; // a part of the file's text
};

class AlarmFileText : public ::testing::TestWithParam<TextCase> {};

TEST_P(AlarmFileText, IsWrittenSoAndReadBack)
{
    std::vector<std::unique_ptr<CAlarm>> alarms;
    alarms.push_back(ExampleAlarm(GetParam().comment));
    alarms[0]->m_strMessage = GetParam().message;
    const std::string text = TextOf(std::move(alarms));
    EXPECT_TRUE(Holds(text, GetParam().written)) << text;
    const auto loaded = Load(text);
    EXPECT_EQ(loaded->At(0)->m_strComment, GetParam().comment);
    EXPECT_EQ(loaded->At(0)->m_strMessage, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    AlarmFile, AlarmFileText,
    ::testing::ValuesIn(std::vector<TextCase>{
        {"Escaped", "<b> & co", "Hi", "<Comment>&lt;b&gt; &amp; co</Comment>\r\n"},
        {"EmptyMessage", "x", "", "<Message Active=\"1\"/>\r\n"},
        {"PolishKeepsTheFileInWindows1250", "Zażółć gęślą jaźń €", "", kDeclaration + "<Zembra"},
        {"PolishLettersAsWindows1250Bytes", "Zażółć gęślą jaźń €", "",
         "<Comment>Za\xBF\xF3\xB3\xE6 g\xEA\x9C\x6C\xB9 ja\x9F\xF1 \x80</Comment>"},
        {"OtherLettersMakeTheFileUtf8", "Wecker ⏰ 目覚まし ß", "Zażółć",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Zembra"}}),
    [](const auto& c) { return std::string(c.param.name); });

TEST(AlarmFile, ReadsInTheDeclaredEncoding)
{
    const std::string body = "<Zembra Version=\"1\">\r\n"
                             + AlarmElement("<Comment>\xC5\xBC\xC3\xB3\xC5\x82w</Comment>\r\n")
                             + "</Zembra>\r\n";
    EXPECT_EQ(Load("<?xml version='1.0' encoding='utf-8'?>\r\n" + body)->At(0)->m_strComment,
              "żółw");
    // No declaration: windows-1250, so the same bytes are five other letters.
    EXPECT_EQ(Load(body)->At(0)->m_strComment, Cp1250ToUtf8("\xC5\xBC\xC3\xB3\xC5\x82w"));
    // Malformed UTF-8 never gets into the program as such.
    EXPECT_EQ(Load("<?xml version=\"1.0\" encoding=\"UTF-8\"?><Zembra><Alarm><Comment>a\xFF"
                   "b</Comment></Alarm></Zembra>")
                  ->At(0)
                  ->m_strComment,
              "a\xEF\xBF\xBD"
              "b");
}

#ifndef _WIN32
TEST(Cp1250, MatchesTheSystemConverterForEveryDefinedByte)
{
    std::string all;
    int compared = 0;
    for (int code = 1; code < 256; ++code) {
        const char in = static_cast<char>(code);
        all += in;
        const auto expected = SystemCp1250ToUtf8(in);
        if (expected) { // an undefined byte is kept as a control character instead
            ++compared;
            EXPECT_EQ(Cp1250ToUtf8(std::string(1, in)), *expected) << code;
            EXPECT_TRUE(FitsCp1250(*expected));
            EXPECT_EQ(Utf8ToCp1250(*expected), std::string(1, in)) << code;
        }
    }
    EXPECT_GT(compared, 240);
    // All 255 bytes survive the trip through UTF-8.
    EXPECT_EQ(Utf8ToCp1250(Cp1250ToUtf8(all)), all);
    EXPECT_FALSE(FitsCp1250("日本"));
}
#endif

TEST(AlarmFile, HandEditedOddities)
{
    ScopedTimeZone zone("UTC");
    const auto day = [](const char* date, const char* time) {
        return "<Date " + std::string(date) + "/>\r\n<Time " + time + "/>\r\n";
    };
    const std::string everyday = R"(Active="1" Type="wakeup" Frequency="everyday")";
    const auto loaded = Load(
        "<Zembra Version=\"1\">\r\n"
        // Active="7", no Comment and no Message: empty texts, message off; Sound still read.
        + AlarmElement(
            day(R"(Year="2026" Month="6" Day="1" DayOfWeek="0")", R"(Hour="7" Min="0" Sec="0")")
                + "<Sound Active=\"1\">a.wav</Sound>\r\n",
            R"(Active="7" Type="wakeup" Frequency="everyday")")
        // Day 31 in April: loaded as written, never fires.
        + AlarmElement(
            day(R"(Year="2026" Month="4" Day="31" DayOfWeek="9")", R"(Hour="7" Min="0" Sec="0")")
                + "<Comment>bad day</Comment>\r\n",
            R"(Active="x" Type="wakeup" Frequency="monthly")")
        // No Date, no Time, empty Active; a year beyond 16 bits does not wrap into a valid one.
        + AlarmElement("<Comment>no date</Comment>\r\n",
                       R"(Active="" Type="wakeup" Frequency="once")")
        + AlarmElement("<Date Year=\"67537\" Month=\"1\" Day=\"1\"/>\r\n",
                       R"(Type="wakeup" Frequency="once")")
        // Time fields out of range never fire (they used to read as 0: midnight UTC).
        + AlarmElement(day(R"(Year="2026" Month="6" Day="1")", R"(Hour="70000" Min="0" Sec="0")"),
                       everyday)
        + AlarmElement(day(R"(Year="2026" Month="6" Day="1")", R"(Hour="7" Min="-5" Sec="0")"),
                       everyday)
        + "<Other/>\r\n</Zembra>\r\n");
    ASSERT_EQ(loaded->Count(), 6u);
    for (const std::size_t never : {1u, 2u, 4u, 5u}) {
        EXPECT_FALSE(loaded->At(never)->CanFire()) << never;
        FileTime firing = 0;
        EXPECT_EQ(loaded->At(never)->NextOccurrenceUtc(Ft(St(2026, 1, 1)), nullptr, firing), -1)
            << never;
    }
    const CAlarm& first = *loaded->At(0);
    EXPECT_TRUE(first.m_bActive);
    EXPECT_EQ(first.m_strComment, "");
    EXPECT_FALSE(first.m_bMessageActive);
    EXPECT_EQ(first.m_strMessage, "");
    EXPECT_TRUE(first.m_bSoundActive);
    EXPECT_EQ(first.m_strSound, "a.wav");
    EXPECT_EQ(first.m_time.wDayOfWeek, 1); // recomputed from the date
    const CAlarm& april = *loaded->At(1);
    EXPECT_FALSE(april.m_bActive);
    EXPECT_EQ(april.m_time.wDay, 31);
    EXPECT_EQ(april.m_strComment, "bad day");
    EXPECT_FALSE(loaded->At(2)->m_bActive);
    EXPECT_EQ(loaded->At(2)->m_time.wYear, 0);
    EXPECT_EQ(loaded->At(3)->m_time.wYear, 0);
    // Saving keeps the odd date as it was written.
    EXPECT_TRUE(Holds(loaded->ToFileText(), R"(<Date Year="2026" Month="4" Day="31")"));
}

TEST(AlarmFile, ARepeatingAlarmTypedInTheSpringGapKeepsItsTime)
{
    ScopedTimeZone zone("Europe/Warsaw");
    const SystemTime gap = St(2026, 3, 29, 2, 30); // the clocks go from 02:00 to 03:00
    std::vector<std::unique_ptr<CAlarm>> alarms;
    alarms.push_back(NewAlarm(kFrequencyEveryday, gap));
    alarms.push_back(NewAlarm(kFrequencyOnce, gap));
    alarms.push_back(NewAlarm(kFrequencyEveryday, St(2026, 3, 30, 2, 30)));
    const std::string text = TextOf(std::move(alarms));
    // The established bytes, plus the typed time for the repeating alarm in the gap only.
    EXPECT_TRUE(Holds(text, R"(<Time Hour="1" Min="30" Sec="0" LocalTime="02:30:00"/>)"));
    EXPECT_TRUE(Holds(text, R"(<Time Hour="1" Min="30" Sec="0"/>)"));
    EXPECT_TRUE(Holds(text, R"(<Time Hour="0" Min="30" Sec="0"/>)"));

    const auto loaded = Load(text);
    EXPECT_EQ(loaded->At(0)->m_time.wHour, 2);
    EXPECT_EQ(loaded->At(0)->m_time.wDay, 29);
    // So it rings at 02:30 the next day, as it did before saving.
    FileTime next = 0;
    ASSERT_EQ(loaded->At(0)->NextOccurrenceUtc(LocalFt(St(2026, 3, 29, 12)), nullptr, next), 1);
    EXPECT_EQ(next, LocalFt(St(2026, 3, 30, 2, 30)));
    // The one-time alarm names an instant, which stays the same.
    EXPECT_EQ(loaded->At(1)->m_time.wHour, 3);
    EXPECT_EQ(loaded->ToFileText(), text);
}

TEST(AlarmFile, TextEndsAtTheFirstZeroByteAndAnyRootNameHoldsAlarms)
{
    EXPECT_EQ(Load("<!-- hand made --><Budzik>" + AlarmElement("") + "</Budzik>" + '\0' + "junk")
                  ->Count(),
              1u);
    CScheduler cut;
    EXPECT_EQ(cut.AppendFromFileText(std::string("<Zembra>\0", 9) + AlarmElement("") + "</Zembra>"),
              CScheduler::LoadStatus::NotParsed);
}

TEST(AlarmFile, LoadFailuresAreTold)
{
    TempDir dir;
    CScheduler schedule;
    EXPECT_EQ(schedule.LoadFromFile(dir.File("missing.zmb")), 1);
    EXPECT_EQ(schedule.GetLastLoadStatus(), CScheduler::LoadStatus::CannotOpen);
    EXPECT_EQ(schedule.GetLastFileError(), "No such file or directory");
    EXPECT_EQ(schedule.LoadFromFile(dir.File("")), 1); // the folder itself
    using Status = CScheduler::LoadStatus;
    for (const auto& [text, status, error] :
         std::vector<std::tuple<const char*, Status, const char*>>{
             {"<Zembra><Alarm></Zembra>", Status::NotParsed,
              "End tag does not correspond to Alarm"},
             {"", Status::NotParsed, "the file is empty"},
             {"<html><body/></html>", Status::NotAlarmList, nullptr}}) {
        WriteBytes(dir.File("list.zmb"), text);
        EXPECT_EQ(schedule.LoadFromFile(dir.File("list.zmb")), 0) << text;
        EXPECT_EQ(schedule.GetLastLoadStatus(), status) << text;
        if (error != nullptr) {
            EXPECT_EQ(schedule.GetLastFileError(), error);
        }
    }
    EXPECT_EQ(schedule.Count(), 0u);
}

TEST(AlarmFile, FailedSaveLeavesTheOldFileAlone)
{
    TempDir dir;
    CScheduler schedule;
    schedule.AddAlarm(ExampleAlarm());
    // A folder that does not exist.
    EXPECT_EQ(schedule.SaveToFile(dir.File("no/such/folder/list.zmb")), 1);
    EXPECT_TRUE(Holds(schedule.GetLastFileError(), "No such file or directory"));
    // A target that cannot be replaced (a non-empty folder of that name): the rename fails
    // after the new text was written, and nothing of it stays behind.
    fs::create_directory(dir.File("taken.zmb"));
    WriteBytes(dir.File("taken.zmb/inside"), "x");
    EXPECT_EQ(schedule.SaveToFile(dir.File("taken.zmb")), 1);
    EXPECT_TRUE(Holds(schedule.GetLastFileError(), "cannot replace the file"));
    EXPECT_EQ(ReadBytes(dir.File("taken.zmb/inside")), "x");
    EXPECT_EQ(dir.EntryCount(), 1u);
}

TEST(AlarmFile, SaveKeepsPermissionsAndWritesTheTargetOfASymbolicLink)
{
    TempDir dir;
    const std::string path = dir.File("list.zmb");
    WriteBytes(path, "old contents");
    ASSERT_TRUE(RestrictAccess(path));
    CScheduler schedule;
    schedule.AddAlarm(ExampleAlarm());
    ASSERT_EQ(schedule.SaveToFile(path), 0);
    EXPECT_TRUE(AccessIsRestricted(path));
    EXPECT_EQ(ReadBytes(path), schedule.ToFileText());

    std::error_code ec;
    fs::create_symlink(path, dir.File("link.zmb"), ec);
    if (ec) {
        GTEST_SKIP() << "no symbolic links here: " << ec.message();
    }
    // The link stays, its target gets the list.
    CScheduler empty;
    ASSERT_EQ(empty.SaveToFile(dir.File("link.zmb")), 0);
    EXPECT_TRUE(fs::is_symlink(dir.File("link.zmb")));
    EXPECT_EQ(ReadBytes(path), empty.ToFileText());
}

// Writers of one list take turns through the lock beside it, which leaves nothing behind.
TEST(ListLock, OneWriterAtATimeAndNothingLeftBehind)
{
    TempDir dir;
    const std::string path = dir.File("list.zmb");
    std::string error;
    ListLock first(path);
    ListLock second(path);
    ASSERT_EQ(first.Acquire(0, error), ListLock::Result::Held) << error;
    EXPECT_EQ(second.Acquire(0, error), ListLock::Result::Busy);
    first.Release();
    EXPECT_EQ(dir.EntryCount(), 0u);
    EXPECT_EQ(second.Acquire(0, error), ListLock::Result::Held) << error;
    second.Release();
    // Where no lock file can be made, nobody can write the list either: the writer goes on and
    // the write says why it fails.
    EXPECT_EQ(ListLock(dir.File("no-folder/list.zmb")).Acquire(0, error),
              ListLock::Result::NoLockFile);
}
