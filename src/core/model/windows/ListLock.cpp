// The list lock on Windows: "<list>.lock" opened without sharing, so that a second writer's
// open fails until the first closes it; the system deletes the file when it is closed, also
// when the holder dies.

#include "model/ListLock.h"

#include "windows/WindowsText.h"

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace zembra {

namespace {

constexpr auto kRetryInterval = std::chrono::milliseconds(10);

std::string LockPathFor(const std::string& listPath)
{
    std::error_code ec;
    const std::filesystem::path resolved =
        std::filesystem::weakly_canonical(std::filesystem::u8path(listPath), ec);
    const std::filesystem::path path = ec ? std::filesystem::u8path(listPath) : resolved;
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end()) + ".lock";
}

} // namespace

ListLock::ListLock(const std::string& listPath)
    : m_lockPath(LockPathFor(listPath))
{
}

ListLock::~ListLock()
{
    Release();
}

ListLock::Result ListLock::Acquire(int timeoutMs, std::string& error)
{
    if (m_held) {
        return Result::Held;
    }
    const std::wstring path = Utf8ToWide(m_lockPath);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        HANDLE handle =
            ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            m_handle = reinterpret_cast<long long>(handle);
            m_held = true;
            return Result::Held;
        }
        const DWORD code = ::GetLastError();
        // Held by another writer, or being deleted by one that just let go.
        const bool busy = code == ERROR_SHARING_VIOLATION || code == ERROR_ACCESS_DENIED;
        if (!busy) {
            error = "cannot make the lock file " + m_lockPath + ": " + SystemErrorText(code);
            return Result::NoLockFile;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            error = "another program is changing the list (" + m_lockPath + " is held)";
            return Result::Busy;
        }
        std::this_thread::sleep_for(kRetryInterval);
    }
}

void ListLock::Release()
{
    if (!m_held) {
        return;
    }
    ::CloseHandle(reinterpret_cast<HANDLE>(m_handle));
    m_handle = -1;
    m_held = false;
}

} // namespace zembra
