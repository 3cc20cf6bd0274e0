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
using namespace std::string_literals;

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
    char out[8] = {};
    char* inPtr = &c;
    char* outPtr = out;
    std::size_t inLeft = 1;
    std::size_t outLeft = sizeof out;
    const bool converted =
        iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(converter);
    return converted ? std::optional(std::string(out, outPtr)) : std::nullopt;
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
template <typename... Alarms> std::string TextOf(Alarms... alarms)
{
    CScheduler schedule;
    (schedule.AddAlarm(std::move(alarms)), ...);
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

// A list, and a folder for its files.
class AlarmFile : public ::testing::Test {
protected:
    TempDir dir;
    CScheduler schedule;
};

} // namespace

TEST_F(AlarmFile, ExampleIsWrittenByteForByte)
{
    ScopedTimeZone zone("Europe/Warsaw"); // one hour east of UTC in March 2008
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
    EXPECT_EQ(TextOf(), kDeclaration + "<Zembra Version=\"1\"/>\r\n");
}

TEST_F(AlarmFile, RoundTripKeepsOrderAndEveryFieldButMilliseconds)
{
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
    ASSERT_EQ(loaded.ToFileText(), schedule.ToFileText());
    EXPECT_EQ(loaded.At(3)->m_time.wMilliseconds, 0);
}

TEST_F(AlarmFile, PolishLettersAreWrittenAsWindows1250Bytes)
{
    const std::string text = TextOf(ExampleAlarm("Zażółć gęślą jaźń €"));
    EXPECT_TRUE(
        Holds(text, "<Comment>Za\xBF\xF3\xB3\xE6 g\xEA\x9C\x6C\xB9 ja\x9F\xF1 \x80</Comment>"));
    EXPECT_EQ(Load(text)->At(0)->m_strComment, "Zażółć gęślą jaźń €");
}

TEST_F(AlarmFile, OtherLettersMakeTheWholeFileUtf8)
{
    auto alarm = ExampleAlarm("Wecker ⏰ 目覚まし ß");
    alarm->m_strMessage = "Zażółć";
    const std::string text = TextOf(std::move(alarm));
    EXPECT_TRUE(Holds(text, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Zembra"));
    const auto loaded = Load(text);
    EXPECT_EQ(loaded->At(0)->m_strComment, "Wecker ⏰ 目覚まし ß");
    EXPECT_EQ(loaded->At(0)->m_strMessage, "Zażółć");
}

TEST_F(AlarmFile, ReadsInTheDeclaredEncoding)
{
    const std::string zolw =
        "<Zembra><Alarm><Comment>\xC5\xBC\xC3\xB3\xC5\x82w</Comment></Alarm></Zembra>";
    EXPECT_EQ(Load("<?xml version='1.0' encoding='utf-8'?>" + zolw)->At(0)->m_strComment, "żółw");
    // No declaration: windows-1250, so the same bytes are five other letters.
    EXPECT_EQ(Load(zolw)->At(0)->m_strComment, Cp1250ToUtf8("\xC5\xBC\xC3\xB3\xC5\x82w"));
    // Malformed UTF-8 never gets into the program as such.
    const std::string bad = "<Zembra><Alarm><Comment>a\xFF</Comment></Alarm></Zembra>";
    EXPECT_EQ(Load("<?xml version='1.0' encoding='UTF-8'?>" + bad)->At(0)->m_strComment, "a\uFFFD");
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

TEST_F(AlarmFile, HandEditedOddities)
{
    ScopedTimeZone zone("UTC");
    // 0: Active="7", no Comment and no Message: empty texts, message off; Sound still read.
    // 1: day 31 in April: loaded as written, never fires.
    // 2: no Date, no Time, empty Active. 3: a year beyond 16 bits does not wrap into a valid one.
    // 4, 5: time fields out of range never fire (they used to read as 0: midnight UTC).
    const auto loaded = Load(R"(<Zembra Version="1">
<Alarm Active="7" Type="wakeup" Frequency="everyday">
  <Date Year="2026" Month="6" Day="1" DayOfWeek="0"/><Time Hour="7" Min="0" Sec="0"/>
  <Sound Active="1">a.wav</Sound></Alarm>
<Alarm Active="x" Type="wakeup" Frequency="monthly">
  <Date Year="2026" Month="4" Day="31" DayOfWeek="9"/><Time Hour="7" Min="0" Sec="0"/>
  <Comment>bad day</Comment></Alarm>
<Alarm Active="" Type="wakeup" Frequency="once"><Comment>no date</Comment></Alarm>
<Alarm Type="wakeup" Frequency="once"><Date Year="67537" Month="1" Day="1"/></Alarm>
<Alarm Active="1" Type="wakeup" Frequency="everyday">
  <Date Year="2026" Month="6" Day="1"/><Time Hour="70000" Min="0" Sec="0"/></Alarm>
<Alarm Active="1" Type="wakeup" Frequency="everyday">
  <Date Year="2026" Month="6" Day="1"/><Time Hour="7" Min="-5" Sec="0"/></Alarm>
<Other/></Zembra>)");
    ASSERT_EQ(loaded->Count(), 6u);
    for (const std::size_t never : {1u, 2u, 3u, 4u, 5u}) {
        EXPECT_FALSE(loaded->At(never)->CanFire()) << never;
        FileTime firing = 0;
        EXPECT_EQ(loaded->At(never)->NextOccurrenceUtc(Ft(St(2026, 1, 1)), nullptr, firing), -1)
            << never;
    }
    const CAlarm& first = *loaded->At(0);
    EXPECT_TRUE(first.m_bActive);
    EXPECT_EQ(first.m_strComment, "");
    EXPECT_FALSE(first.m_bMessageActive);
    EXPECT_TRUE(first.m_bSoundActive);
    EXPECT_EQ(first.m_strSound, "a.wav");
    EXPECT_EQ(first.m_time.wDayOfWeek, 1); // recomputed from the date
    const CAlarm& april = *loaded->At(1);
    EXPECT_FALSE(april.m_bActive);
    EXPECT_EQ(april.m_time.wDay, 31);
    EXPECT_EQ(april.m_strComment, "bad day");
    EXPECT_FALSE(loaded->At(2)->m_bActive);
    // Saving keeps the odd date as it was written.
    EXPECT_TRUE(Holds(loaded->ToFileText(), R"(<Date Year="2026" Month="4" Day="31")"));
}

TEST_F(AlarmFile, ARepeatingAlarmTypedInTheSpringGapKeepsItsTime)
{
    ScopedTimeZone zone("Europe/Warsaw");
    const SystemTime gap = St(2026, 3, 29, 2, 30); // the clocks go from 02:00 to 03:00
    const std::string text =
        TextOf(NewAlarm(kFrequencyEveryday, gap), NewAlarm(kFrequencyOnce, gap),
               NewAlarm(kFrequencyEveryday, St(2026, 3, 30, 2, 30)));
    // The established bytes, plus the typed time for the repeating alarm in the gap only.
    EXPECT_TRUE(Holds(text, R"(<Time Hour="1" Min="30" Sec="0" LocalTime="02:30:00"/>)"));
    EXPECT_TRUE(Holds(text, R"(<Time Hour="1" Min="30" Sec="0"/>)"));
    EXPECT_TRUE(Holds(text, R"(<Time Hour="0" Min="30" Sec="0"/>)"));

    const auto loaded = Load(text);
    // So it rings at 02:30 the next day, as it did before saving.
    FileTime next = 0;
    ASSERT_EQ(loaded->At(0)->NextOccurrenceUtc(LocalFt(St(2026, 3, 29, 12)), nullptr, next), 1);
    EXPECT_EQ(next, LocalFt(St(2026, 3, 30, 2, 30)));
    // The one-time alarm names an instant, which stays the same.
    EXPECT_EQ(loaded->At(1)->m_time.wHour, 3);
    EXPECT_EQ(loaded->ToFileText(), text);
}

TEST_F(AlarmFile, TextEndsAtTheFirstZeroByteAndAnyRootNameHoldsAlarms)
{
    EXPECT_EQ(Load("<!-- hand made --><Budzik><Alarm/></Budzik>\0junk"s)->Count(), 1u);
    EXPECT_EQ(schedule.AppendFromFileText("<Zembra>\0<Alarm/></Zembra>"s),
              CScheduler::LoadStatus::NotParsed);
}

TEST_F(AlarmFile, LoadFailuresAreTold)
{
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
             {"<html><body/></html>", Status::NotAlarmList,
              "the root element is not Zembra and holds no Alarm elements"}}) {
        std::ofstream(dir.File("list.zmb"), std::ios::binary) << text;
        EXPECT_EQ(schedule.LoadFromFile(dir.File("list.zmb")), 0) << text;
        EXPECT_EQ(schedule.GetLastLoadStatus(), status) << text;
        EXPECT_EQ(schedule.GetLastFileError(), error);
    }
    EXPECT_EQ(schedule.Count(), 0u);
}

TEST_F(AlarmFile, FailedSaveLeavesTheOldFileAlone)
{
    schedule.AddAlarm(ExampleAlarm());
    // A folder that does not exist.
    EXPECT_EQ(schedule.SaveToFile(dir.File("no/such/folder/list.zmb")), 1);
    EXPECT_TRUE(Holds(schedule.GetLastFileError(), "No such file or directory"));
    // A target that cannot be replaced (a non-empty folder of that name): the rename fails
    // after the new text was written, and nothing of it stays behind.
    fs::create_directory(dir.File("taken.zmb"));
    std::ofstream(dir.File("taken.zmb/inside")) << "x";
    EXPECT_EQ(schedule.SaveToFile(dir.File("taken.zmb")), 1);
    EXPECT_TRUE(Holds(schedule.GetLastFileError(), "cannot replace the file"));
    EXPECT_EQ(ReadBytes(dir.File("taken.zmb/inside")), "x");
    EXPECT_EQ(dir.EntryCount(), 1u);
}

TEST_F(AlarmFile, SaveKeepsPermissionsAndWritesTheTargetOfASymbolicLink)
{
    const std::string path = dir.File("list.zmb");
    std::ofstream(path) << "old contents";
    ASSERT_TRUE(RestrictAccess(path));
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
