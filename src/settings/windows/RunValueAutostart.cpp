#include "windows/RunValueAutostart.h"

#include "windows/WindowsText.h"

#include <windows.h>

namespace zembra {

RunValueAutostart::RunValueAutostart(std::wstring keyPath, std::wstring valueName)
    : m_keyPath(std::move(keyPath))
    , m_valueName(std::move(valueName))
{
}

std::wstring RunValueAutostart::RunValue(const std::string& programPath)
{
    return L'"' + Utf8ToWide(programPath) + L'"';
}

bool RunValueAutostart::Install(const std::string& programPath)
{
    if (programPath.empty()) {
        m_lastError = "no program path to start";
        return false;
    }
    HKEY key = nullptr;
    LSTATUS status = ::RegCreateKeyExW(HKEY_CURRENT_USER, m_keyPath.c_str(), 0, nullptr, 0,
                                       KEY_SET_VALUE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) {
        m_lastError = CallFailedText("RegCreateKeyExW", static_cast<unsigned long>(status));
        return false;
    }
    const std::wstring value = RunValue(programPath);
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    status = ::RegSetValueExW(key, m_valueName.c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(value.c_str()), bytes);
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        m_lastError = CallFailedText("RegSetValueExW", static_cast<unsigned long>(status));
        return false;
    }
    return true;
}

bool RunValueAutostart::Remove()
{
    HKEY key = nullptr;
    LSTATUS status = ::RegOpenKeyExW(HKEY_CURRENT_USER, m_keyPath.c_str(), 0, KEY_SET_VALUE, &key);
    if (status == ERROR_FILE_NOT_FOUND) {
        return true;
    }
    if (status != ERROR_SUCCESS) {
        m_lastError = CallFailedText("RegOpenKeyExW", static_cast<unsigned long>(status));
        return false;
    }
    status = ::RegDeleteValueW(key, m_valueName.c_str());
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
        m_lastError = CallFailedText("RegDeleteValueW", static_cast<unsigned long>(status));
        return false;
    }
    return true;
}

std::optional<std::string> RunValueAutostart::Read() const
{
    DWORD type = 0;
    DWORD bytes = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, m_keyPath.c_str(), m_valueName.c_str(), RRF_RT_REG_SZ,
                       &type, nullptr, &bytes)
        != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::wstring value(bytes / sizeof(wchar_t), L'\0');
    if (::RegGetValueW(HKEY_CURRENT_USER, m_keyPath.c_str(), m_valueName.c_str(), RRF_RT_REG_SZ,
                       &type, value.data(), &bytes)
        != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.resize(bytes / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0') {
        value.pop_back();
    }
    return WideToUtf8(value);
}

} // namespace zembra
