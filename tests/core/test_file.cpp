#include "TestSupport.h"
#include "model/CScheduler.h"
#include "model/Cp1250.h"
#include "model/ListLock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <sys/stat.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#include <unistd.h>
#endif

using namespace zembra;
using namespace zembra::test;
namespace fs = std::filesystem;

namespace {

// Per system: its own windows-1250 decoder for one byte (nullopt where the code page defines
// none), and access rights that a save must keep: the permission bits, or on Windows the
// file's attributes, which go with the file a save replaces.
#ifdef _WIN32
std::optional<std::string> SystemCp1250ToUtf8(char c)
{
    wchar_t wide[4];
    const int length = ::MultiByteToWideChar(1250, MB_ERR_INVALID_CHARS, &c, 1, wide, 4);
    if (length <= 0) {
        return std::nullopt;
    }
    char out[8];
    const int bytes =
        ::WideCharToMultiByte(CP_UTF8, 0, wide, length, out, sizeof out, nullptr, nullptr);
    return std::string(out, static_cast<std::size_t>(bytes));
}
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
    iconv_t converter = iconv_open("UTF-8", "WINDOWS-1250");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        throw std::runtime_error("no windows-1250 converter");
    }
    char in[1] = {c};
    char out[8] = {};
    char* inPtr = in;
    char* outPtr = out;
    std::size_t inLeft = 1;
    std::size_t outLeft = sizeof out;
    const bool converted =
        iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(converter);
    if (!converted) {
        return std::nullopt;
    }
    return std::string(out, static_cast<std::size_t>(outPtr - out));
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

std::unique_ptr<CAlarm> ExampleAlarm()
{
    auto alarm = std::make_unique<CAlarm>();
    alarm->m_strType = kTypeWakeup;
    alarm->m_strFrequency = kFrequencyWorkdays;
    alarm->m_bActive = true;
    alarm->m_time = St(2008, 3, 14, 6, 30);
    alarm->m_strComment = "Praca";
    alarm->m_strMessage = "Wstawaj!";
    alarm->m_bMessageActive = true;
    alarm->m_bSoundActive = false;
    alarm->m_strProgram = "notepad.exe";
    alarm->m_bProgramActive = false;
    return alarm;
}

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"windows-1250\"?>\r\n";

const std::string kExampleFile =
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
      "</Zembra>\r\n";

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
    EXPECT_EQ(ReadBytes(dir.File("list.zmb")), kExampleFile);
    EXPECT_EQ(dir.EntryCount(), 1u); // no temporary file left behind
}

TEST(AlarmFile, EmptyListIsTwoLines)
{
    CScheduler schedule;
    EXPECT_EQ(schedule.ToFileText(), kDeclaration + "<Zembra Version=\"1\"/>\r\n");
}

TEST(AlarmFile, RoundTripKeepsOrderAndEveryField)
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
    ASSERT_EQ(loaded.Count(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        const CAlarm& a = *schedule.At(i);
        const CAlarm& b = *loaded.At(i);
        SystemTime expected = a.m_time;
        expected.wMilliseconds = 0; // milliseconds are not stored
        EXPECT_EQ(b.m_time, expected);
        EXPECT_EQ(b.m_strFrequency, a.m_strFrequency);
        EXPECT_EQ(b.m_strType, a.m_strType);
        EXPECT_EQ(b.m_strComment, a.m_strComment);
        EXPECT_EQ(b.m_strMessage, a.m_strMessage);
        EXPECT_EQ(b.m_strSound, a.m_strSound);
        EXPECT_EQ(b.m_strProgram, a.m_strProgram);
        EXPECT_EQ(b.m_bActive, a.m_bActive);
        EXPECT_EQ(b.m_bMessageActive, a.m_bMessageActive);
        EXPECT_EQ(b.m_bSoundActive, a.m_bSoundActive);
        EXPECT_EQ(b.m_bProgramActive, a.m_bProgramActive);
        EXPECT_FALSE(b.m_bHandled);
    }
}

TEST(AlarmFile, SummerSaveLoadsBackTheSameLocalTimeInWinter)
{
    // Each moment is stored with the rules of its own instant, so when the file is written or
    // read makes no difference.
    ScopedTimeZone zone("Europe/Warsaw");
    CScheduler schedule;
    auto summer = ExampleAlarm();
    summer->m_time = St(2026, 7, 15, 7);
    auto winter = ExampleAlarm();
    winter->m_time = St(2026, 12, 15, 7);
    schedule.AddAlarm(std::move(summer));
    schedule.AddAlarm(std::move(winter));
    const std::string text = schedule.ToFileText();
    EXPECT_NE(text.find(R"(<Time Hour="5" Min="0" Sec="0"/>)"), std::string::npos);
    EXPECT_NE(text.find(R"(<Time Hour="6" Min="0" Sec="0"/>)"), std::string::npos);
    CScheduler loaded;
    ASSERT_EQ(loaded.AppendFromFileText(text), CScheduler::LoadStatus::Read);
    EXPECT_EQ(Iso(loaded.At(0)->m_time), "2026-07-15T07:00:00.000");
    EXPECT_EQ(Iso(loaded.At(1)->m_time), "2026-12-15T07:00:00.000");
}

TEST(AlarmFile, EscapingAndEmptyTexts)
{
    CScheduler schedule;
    auto alarm = ExampleAlarm();
    alarm->m_strComment = "<b> & co";
    alarm->m_strMessage = "";
    schedule.AddAlarm(std::move(alarm));
    const std::string text = schedule.ToFileText();
    EXPECT_NE(text.find("<Comment>&lt;b&gt; &amp; co</Comment>\r\n"), std::string::npos);
    EXPECT_NE(text.find("<Message Active=\"1\"/>\r\n"), std::string::npos);
    CScheduler loaded;
    loaded.AppendFromFileText(text);
    EXPECT_EQ(loaded.At(0)->m_strComment, "<b> & co");
    EXPECT_EQ(loaded.At(0)->m_strMessage, "");
}

TEST(AlarmFile, PolishTextIsStoredInWindows1250)
{
    CScheduler schedule;
    auto alarm = ExampleAlarm();
    alarm->m_strComment = "Zażółć gęślą jaźń €";
    schedule.AddAlarm(std::move(alarm));
    const std::string text = schedule.ToFileText();
    EXPECT_EQ(text.rfind(kDeclaration, 0), 0u);
    EXPECT_NE(text.find("<Comment>Za\xBF\xF3\xB3\xE6 g\xEA\x9C\x6C\xB9 ja\x9F\xF1 \x80</Comment>"),
              std::string::npos);
    CScheduler loaded;
    loaded.AppendFromFileText(text);
    EXPECT_EQ(loaded.At(0)->m_strComment, "Zażółć gęślą jaźń €");
}

TEST(AlarmFile, TextOutsideWindows1250IsKeptInUtf8)
{
    CScheduler schedule;
    auto alarm = ExampleAlarm();
    alarm->m_strComment = "Wecker ⏰ 目覚まし ß";
    alarm->m_strMessage = "Zażółć";
    schedule.AddAlarm(std::move(alarm));
    const std::string text = schedule.ToFileText();
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n", 0), 0u);
    CScheduler loaded;
    ASSERT_EQ(loaded.AppendFromFileText(text), CScheduler::LoadStatus::Read);
    EXPECT_EQ(loaded.At(0)->m_strComment, "Wecker ⏰ 目覚まし ß");
    EXPECT_EQ(loaded.At(0)->m_strMessage, "Zażółć");
}

TEST(AlarmFile, ReadsInTheDeclaredEncoding)
{
    const std::string body = "<Zembra Version=\"1\">\r\n"
                             + AlarmElement("<Comment>\xC5\xBC\xC3\xB3\xC5\x82w</Comment>\r\n")
                             + "</Zembra>\r\n";
    CScheduler utf8;
    utf8.AppendFromFileText("<?xml version='1.0' encoding='utf-8'?>\r\n" + body);
    EXPECT_EQ(utf8.At(0)->m_strComment, "żółw");
    // No declaration: windows-1250, so the same bytes are five other letters.
    CScheduler undeclared;
    undeclared.AppendFromFileText(body);
    EXPECT_EQ(undeclared.At(0)->m_strComment, Cp1250ToUtf8("\xC5\xBC\xC3\xB3\xC5\x82w"));
    // Malformed UTF-8 never gets into the program as such.
    CScheduler broken;
    broken.AppendFromFileText(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Zembra><Alarm><Comment>a\xFF"
        "b</Comment></Alarm></Zembra>");
    EXPECT_EQ(broken.At(0)->m_strComment, "a\xEF\xBF\xBD"
                                          "b");
}

TEST(Cp1250, MatchesTheSystemConverterForEveryDefinedByte)
{
    for (int code = 1; code < 256; ++code) {
        const char in = static_cast<char>(code);
        const auto expected = SystemCp1250ToUtf8(in);
        if (!expected) {
            continue; // undefined in the code page; kept as a control character instead
        }
        EXPECT_EQ(Cp1250ToUtf8(std::string(1, in)), *expected) << code;
        EXPECT_TRUE(FitsCp1250(*expected));
        EXPECT_EQ(Utf8ToCp1250(*expected), std::string(1, in)) << code;
    }
    // All 256 bytes survive the trip through UTF-8.
    std::string all;
    for (int code = 1; code < 256; ++code) {
        all += static_cast<char>(code);
    }
    EXPECT_EQ(Utf8ToCp1250(Cp1250ToUtf8(all)), all);
    EXPECT_FALSE(FitsCp1250("日本"));
}

TEST(AlarmFile, HandEditedOddities)
{
    ScopedTimeZone zone("UTC");
    const std::string text =
        "<Zembra Version=\"1\">\r\n"
        // Active="7", no Comment and no Message: empty texts, message off; Sound still read.
        + AlarmElement("<Date Year=\"2026\" Month=\"6\" Day=\"1\" DayOfWeek=\"0\"/>\r\n"
                       "<Time Hour=\"7\" Min=\"0\" Sec=\"0\"/>\r\n"
                       "<Sound Active=\"1\">a.wav</Sound>\r\n",
                       R"(Active="7" Type="wakeup" Frequency="everyday")")
        // Day 31 in April: loaded as written, never fires.
        + AlarmElement("<Date Year=\"2026\" Month=\"4\" Day=\"31\" DayOfWeek=\"9\"/>\r\n"
                       "<Time Hour=\"7\" Min=\"0\" Sec=\"0\"/>\r\n<Comment>bad day</Comment>\r\n",
                       R"(Active="x" Type="wakeup" Frequency="monthly")")
        // No Date, no Time, empty Active; a year beyond 16 bits does not wrap into a valid one.
        + AlarmElement("<Comment>no date</Comment>\r\n",
                       R"(Active="" Type="wakeup" Frequency="once")")
        + AlarmElement("<Date Year=\"67537\" Month=\"1\" Day=\"1\"/>\r\n",
                       R"(Type="wakeup" Frequency="once")")
        // Time fields out of range never fire (they used to read as 0: midnight UTC).
        + AlarmElement("<Date Year=\"2026\" Month=\"6\" Day=\"1\"/>\r\n<Time Hour=\"70000\" "
                       "Min=\"0\" Sec=\"0\"/>\r\n",
                       R"(Active="1" Type="wakeup" Frequency="everyday")")
        + AlarmElement("<Date Year=\"2026\" Month=\"6\" Day=\"1\"/>\r\n<Time Hour=\"7\" Min=\"-5\" "
                       "Sec=\"0\"/>\r\n",
                       R"(Active="1" Type="wakeup" Frequency="everyday")")
        + "<Other/>\r\n</Zembra>\r\n";
    CScheduler schedule;
    ASSERT_EQ(schedule.AppendFromFileText(text), CScheduler::LoadStatus::Read);
    ASSERT_EQ(schedule.Count(), 6u);
    for (const std::size_t bad : {4u, 5u}) {
        EXPECT_FALSE(schedule.At(bad)->CanFire()) << bad;
        FileTime never = 0;
        EXPECT_EQ(schedule.At(bad)->NextOccurrenceUtc(Ft(St(2026, 1, 1)), nullptr, never), -1)
            << bad;
    }

    const CAlarm& first = *schedule.At(0);
    EXPECT_TRUE(first.m_bActive);
    EXPECT_EQ(first.m_strComment, "");
    EXPECT_FALSE(first.m_bMessageActive);
    EXPECT_EQ(first.m_strMessage, "");
    EXPECT_TRUE(first.m_bSoundActive);
    EXPECT_EQ(first.m_strSound, "a.wav");
    EXPECT_EQ(first.m_time.wDayOfWeek, 1); // recomputed from the date

    const CAlarm& april = *schedule.At(1);
    EXPECT_FALSE(april.m_bActive);
    EXPECT_EQ(april.m_time.wDay, 31);
    EXPECT_EQ(april.m_strComment, "bad day");
    EXPECT_FALSE(april.CanFire());
    FileTime firing = 0;
    EXPECT_EQ(april.NextOccurrenceUtc(Ft(St(2026, 1, 1)), nullptr, firing), -1);

    EXPECT_FALSE(schedule.At(2)->m_bActive);
    EXPECT_EQ(schedule.At(2)->m_time.wYear, 0);
    EXPECT_FALSE(schedule.At(2)->CanFire());
    EXPECT_EQ(schedule.At(3)->m_time.wYear, 0);

    // Saving keeps the odd date as it was written.
    const std::string saved = schedule.ToFileText();
    EXPECT_NE(saved.find(R"(<Date Year="2026" Month="4" Day="31")"), std::string::npos);
}

TEST(AlarmFile, ARepeatingAlarmTypedInTheSpringGapKeepsItsTime)
{
    ScopedTimeZone zone("Europe/Warsaw");
    const SystemTime gap = St(2026, 3, 29, 2, 30); // the clocks go from 02:00 to 03:00
    CScheduler schedule;
    for (const char* frequency : {kFrequencyEveryday, kFrequencyOnce}) {
        auto alarm = std::make_unique<CAlarm>();
        alarm->m_strFrequency = frequency;
        alarm->m_strType = kTypeWakeup;
        alarm->m_time = gap;
        schedule.AddAlarm(std::move(alarm));
    }
    auto ordinary = std::make_unique<CAlarm>();
    ordinary->m_strFrequency = kFrequencyEveryday;
    ordinary->m_time = St(2026, 3, 30, 2, 30);
    schedule.AddAlarm(std::move(ordinary));

    const std::string text = schedule.ToFileText();
    // The established bytes, plus the typed time for the repeating alarm in the gap only.
    EXPECT_NE(text.find(R"(<Time Hour="1" Min="30" Sec="0" LocalTime="02:30:00"/>)"),
              std::string::npos);
    EXPECT_NE(text.find(R"(<Time Hour="1" Min="30" Sec="0"/>)"), std::string::npos);
    EXPECT_NE(text.find(R"(<Time Hour="0" Min="30" Sec="0"/>)"), std::string::npos);

    CScheduler loaded;
    ASSERT_EQ(loaded.AppendFromFileText(text), CScheduler::LoadStatus::Read);
    EXPECT_EQ(loaded.At(0)->m_time.wHour, 2);
    EXPECT_EQ(loaded.At(0)->m_time.wDay, 29);
    // So it rings at 02:30 the next day, as it did before saving.
    FileTime next = 0;
    ASSERT_EQ(loaded.At(0)->NextOccurrenceUtc(LocalFt(St(2026, 3, 29, 12)), nullptr, next), 1);
    EXPECT_EQ(next, LocalFt(St(2026, 3, 30, 2, 30)));
    // The one-time alarm names an instant, which stays the same.
    EXPECT_EQ(loaded.At(1)->m_time.wHour, 3);
    EXPECT_EQ(loaded.ToFileText(), text);
}

TEST(AlarmFile, OtherRootNameStillLoadsItsAlarms)
{
    CScheduler schedule;
    const std::string text =
        "<!-- hand made --><Budzik>" + AlarmElement("<Comment>x</Comment>") + "</Budzik>";
    EXPECT_EQ(schedule.AppendFromFileText(text), CScheduler::LoadStatus::Read);
    EXPECT_EQ(schedule.Count(), 1u);
}

TEST(AlarmFile, LoadFailuresAreTold)
{
    TempDir dir;
    CScheduler schedule;
    EXPECT_EQ(schedule.LoadFromFile(dir.File("missing.zmb")), 1);
    EXPECT_EQ(schedule.GetLastLoadStatus(), CScheduler::LoadStatus::CannotOpen);
    EXPECT_EQ(schedule.GetLastFileError(), "No such file or directory");

    WriteBytes(dir.File("garbage.zmb"), "<Zembra><Alarm></Zembra>");
    EXPECT_EQ(schedule.LoadFromFile(dir.File("garbage.zmb")), 0);
    EXPECT_EQ(schedule.GetLastLoadStatus(), CScheduler::LoadStatus::NotParsed);
    EXPECT_EQ(schedule.GetLastFileError(), "End tag does not correspond to Alarm");

    WriteBytes(dir.File("empty.zmb"), "");
    schedule.LoadFromFile(dir.File("empty.zmb"));
    EXPECT_EQ(schedule.GetLastLoadStatus(), CScheduler::LoadStatus::NotParsed);
    EXPECT_EQ(schedule.GetLastFileError(), "the file is empty");

    WriteBytes(dir.File("other.zmb"), "<html><body/></html>");
    schedule.LoadFromFile(dir.File("other.zmb"));
    EXPECT_EQ(schedule.GetLastLoadStatus(), CScheduler::LoadStatus::NotAlarmList);

    EXPECT_EQ(schedule.Count(), 0u);
    EXPECT_EQ(schedule.LoadFromFile(dir.File("")), 1); // the folder itself
}

TEST(AlarmFile, TextEndsAtTheFirstZeroByte)
{
    CScheduler schedule;
    const std::string text =
        std::string("<Zembra>") + AlarmElement("") + "</Zembra>" + '\0' + "trailing junk";
    EXPECT_EQ(schedule.AppendFromFileText(text), CScheduler::LoadStatus::Read);
    EXPECT_EQ(schedule.Count(), 1u);
    CScheduler cut;
    EXPECT_EQ(cut.AppendFromFileText(std::string("<Zembra>\0", 9) + AlarmElement("") + "</Zembra>"),
              CScheduler::LoadStatus::NotParsed);
}

TEST(AlarmFile, FailedSaveLeavesTheOldFileAlone)
{
    TempDir dir;
    CScheduler schedule;
    schedule.AddAlarm(ExampleAlarm());

    // A folder that does not exist.
    EXPECT_EQ(schedule.SaveToFile(dir.File("no/such/folder/list.zmb")), 1);
    EXPECT_NE(schedule.GetLastFileError().find("No such file or directory"), std::string::npos);

    // A target that cannot be replaced (a non-empty folder of that name): the rename fails
    // after the new text was written, and nothing of it stays behind.
    fs::create_directory(dir.File("taken.zmb"));
    WriteBytes(dir.File("taken.zmb/inside"), "x");
    EXPECT_EQ(schedule.SaveToFile(dir.File("taken.zmb")), 1);
    EXPECT_NE(schedule.GetLastFileError().find("cannot replace the file"), std::string::npos);
    EXPECT_EQ(ReadBytes(dir.File("taken.zmb/inside")), "x");
    EXPECT_EQ(dir.EntryCount(), 1u);
}

TEST(AlarmFile, SaveReplacesAndKeepsPermissions)
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
}

TEST(AlarmFile, SaveThroughASymbolicLinkWritesItsTarget)
{
    TempDir dir;
    const std::string path = dir.File("list.zmb");
    WriteBytes(path, "old contents");
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
