// The Run value, written and removed through the registry under a key of the test's own (never
// the real Run key), and read back independently of the code under test.

#include "windows/RunValueAutostart.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

using namespace zembra;

namespace {

class RunValue : public ::testing::Test {
protected:
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Zembra tests"); }

    // The value as the system reads it, and its registry type.
    std::optional<std::wstring> Stored(DWORD& type) const
    {
        wchar_t buffer[1024];
        DWORD bytes = sizeof buffer;
        const LSTATUS status = ::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"Zembra",
                                              RRF_RT_ANY | RRF_NOEXPAND, &type, buffer, &bytes);
        return status == ERROR_SUCCESS ? std::optional<std::wstring>(buffer) : std::nullopt;
    }

    const std::wstring key =
        L"Software\\Zembra tests\\Run-" + std::to_wstring(::GetCurrentProcessId());
    RunValueAutostart entry{key};
};

} // namespace

TEST_F(RunValue, InstallStoresTheQuotedPathAsTextOverAnEarlierValue)
{
    // A plain path, one with spaces (the quotes keep it from splitting into a program and its
    // arguments) and one with Polish letters, each over the one before; what is stored is read
    // back as UTF-16, independently of the conversion under test.
    const std::pair<std::string, std::wstring> paths[] = {
        {"C:\\Zembra\\zembra.exe", L"\"C:\\Zembra\\zembra.exe\""},
        {"C:\\Program Files\\Zembra\\zembra.exe", L"\"C:\\Program Files\\Zembra\\zembra.exe\""},
        {"C:\\Użytkownicy\\Łukasz\\zembra.exe",
         L"\"C:\\U\u017cytkownicy\\\u0141ukasz\\zembra.exe\""},
    };
    for (const auto& [path, stored] : paths) {
        ASSERT_TRUE(entry.Install(path)) << entry.LastError();
        DWORD type = 0;
        EXPECT_EQ(Stored(type), stored) << path;
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(entry.Read(), "\"" + path + "\"");
    }
}

TEST_F(RunValue, InstallWithoutAPathWritesNothing)
{
    EXPECT_FALSE(entry.Install({}));
    EXPECT_EQ(entry.Read(), std::nullopt);
}

TEST_F(RunValue, RemoveDeletesOnlyItsValueAndWhatIsNotThereIsNoError)
{
    EXPECT_TRUE(entry.Remove()); // no key
    ASSERT_TRUE(entry.Install("C:\\Zembra\\zembra.exe"));
    RunValueAutostart other{key, L"Other"};
    ASSERT_TRUE(other.Install("C:\\Other\\other.exe"));
    EXPECT_TRUE(entry.Remove()) << entry.LastError();
    EXPECT_EQ(entry.Read(), std::nullopt);
    EXPECT_EQ(other.Read(), "\"C:\\Other\\other.exe\"");
    EXPECT_TRUE(entry.Remove()); // the key, without the value
}
