// The Run value, written and removed through the registry under a key of the test's own (never
// the real Run key), and read back independently of the code under test.

#include "windows/RunValueAutostart.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace zembra;

namespace {

std::wstring TestKey()
{
    return L"Software\\Zembra tests\\Run-" + std::to_wstring(::GetCurrentProcessId());
}

// The value as the system reads it, and its registry type.
std::optional<std::wstring> Stored(const std::wstring& key, DWORD& type)
{
    wchar_t buffer[1024];
    DWORD bytes = sizeof buffer;
    if (::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"Zembra", RRF_RT_ANY, &type, buffer, &bytes)
        != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(buffer);
}

class RunValue : public ::testing::Test {
protected:
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Zembra tests"); }

    const std::wstring key = TestKey();
    RunValueAutostart entry{key};
};

struct PathCase {
    const char* name;
    std::string path;
    std::wstring stored;
};

class RunValuePath : public RunValue, public ::testing::WithParamInterface<PathCase> {};

} // namespace

TEST_P(RunValuePath, InstallStoresTheQuotedPathAsText)
{
    ASSERT_TRUE(entry.Install(GetParam().path)) << entry.LastError();
    DWORD type = 0;
    EXPECT_EQ(Stored(key, type), GetParam().stored);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(entry.Read(), "\"" + GetParam().path + "\"");
}

INSTANTIATE_TEST_SUITE_P(
    Paths, RunValuePath,
    ::testing::Values(PathCase{"plain", "C:\\Zembra\\zembra.exe", L"\"C:\\Zembra\\zembra.exe\""},
                      PathCase{"spaces", "C:\\Program Files\\Zembra\\zembra.exe",
                               L"\"C:\\Program Files\\Zembra\\zembra.exe\""},
                      PathCase{"polishLetters", "C:\\Użytkownicy\\Łukasz\\zembra.exe",
                               L"\"C:\\U\u017cytkownicy\\\u0141ukasz\\zembra.exe\""}),
    [](const ::testing::TestParamInfo<PathCase>& param) { return std::string(param.param.name); });

TEST_F(RunValue, InstallRewritesAnExistingValue)
{
    ASSERT_TRUE(entry.Install("C:\\old\\zembra.exe"));
    ASSERT_TRUE(entry.Install("C:\\new\\zembra.exe"));
    EXPECT_EQ(entry.Read(), "\"C:\\new\\zembra.exe\"");
}

TEST_F(RunValue, InstallWithoutAPathWritesNothing)
{
    EXPECT_FALSE(entry.Install({}));
    EXPECT_EQ(entry.Read(), std::nullopt);
}

TEST_F(RunValue, RemoveDeletesOnlyItsValue)
{
    ASSERT_TRUE(entry.Install("C:\\Zembra\\zembra.exe"));
    RunValueAutostart other{key, L"Other"};
    ASSERT_TRUE(other.Install("C:\\Other\\other.exe"));
    EXPECT_TRUE(entry.Remove()) << entry.LastError();
    EXPECT_EQ(entry.Read(), std::nullopt);
    EXPECT_EQ(other.Read(), "\"C:\\Other\\other.exe\"");
}

TEST_F(RunValue, RemovingWhatIsNotThereIsNoError)
{
    EXPECT_TRUE(entry.Remove()); // no key
    ASSERT_TRUE(entry.Install("C:\\Zembra\\zembra.exe"));
    ASSERT_TRUE(entry.Remove());
    EXPECT_TRUE(entry.Remove()); // the key, without the value
}
