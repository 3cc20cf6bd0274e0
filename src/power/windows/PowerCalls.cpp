#include "windows/PowerCalls.h"

#include <windows.h>

#include <powrprof.h>

namespace zembra {

namespace {

class SystemPowerCalls final : public IPowerCalls {
public:
    bool EnableShutdownPrivilege(unsigned long& error) override
    {
        HANDLE token = nullptr;
        if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                                &token)) {
            error = ::GetLastError();
            return false;
        }
        TOKEN_PRIVILEGES privileges{};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        bool enabled = false;
        if (!::LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege",
                                     &privileges.Privileges[0].Luid)) {
            error = ::GetLastError();
        } else {
            // Succeeds also when the token does not hold the privilege at all; only the last
            // error then tells (ERROR_NOT_ALL_ASSIGNED).
            ::SetLastError(ERROR_SUCCESS);
            ::AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
            error = ::GetLastError();
            enabled = error == ERROR_SUCCESS;
        }
        ::CloseHandle(token);
        return enabled;
    }

    bool SuspendSystem(bool hibernate, unsigned long& error) override
    {
        if (::SetSuspendState(hibernate ? TRUE : FALSE, FALSE, FALSE)) {
            return true;
        }
        error = ::GetLastError();
        return false;
    }

    bool ExitSystem(unsigned flags, unsigned long reason, unsigned long& error) override
    {
        if (::ExitWindowsEx(flags, reason)) {
            return true;
        }
        error = ::GetLastError();
        return false;
    }

    bool SetExecutionState(unsigned long flags, unsigned long& error) override
    {
        if (::SetThreadExecutionState(flags) != 0) {
            return true;
        }
        error = ::GetLastError();
        return false;
    }
};

} // namespace

std::unique_ptr<IPowerCalls> CreateSystemPowerCalls()
{
    return std::make_unique<SystemPowerCalls>();
}

} // namespace zembra
