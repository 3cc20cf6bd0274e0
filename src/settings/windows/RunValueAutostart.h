#pragma once

// Starting the program at logon on Windows: the value "Zembra" under the current user's
// Software\Microsoft\Windows\CurrentVersion\Run key, holding the executable's path in double
// quotes (unquoted, a path with spaces would be split into a program and its arguments). The
// same contract as AutostartEntry, without Qt, so that it builds and tests without it.

#include <optional>
#include <string>

namespace zembra {

class RunValueAutostart {
public:
    static constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    static constexpr const wchar_t* kValueName = L"Zembra";

    // `keyPath` under HKEY_CURRENT_USER; tests give a key of their own.
    explicit RunValueAutostart(std::wstring keyPath = kRunKey, std::wstring valueName = kValueName);

    // Creates the value, or rewrites it when it exists, so that logging on starts `programPath`
    // (UTF-8) with no arguments; false (and LastError) when it could not be written.
    bool Install(const std::string& programPath);
    // Removes the value; a missing value or key is not an error.
    bool Remove();
    // The value as it is stored now (UTF-8); nullopt when there is none.
    std::optional<std::string> Read() const;
    std::string LastError() const { return m_lastError; }

    // What Install stores for `programPath`.
    static std::wstring RunValue(const std::string& programPath);

private:
    std::wstring m_keyPath;
    std::wstring m_valueName;
    std::string m_lastError;
};

} // namespace zembra
