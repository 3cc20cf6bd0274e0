#include "windows/Win32PowerRequests.h"

#include "windows/WindowsText.h"

#include <windows.h>

namespace zembra {

const unsigned Win32PowerRequests::kShutdownFlags = EWX_POWEROFF | EWX_FORCE;
const unsigned long Win32PowerRequests::kShutdownReason =
    SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_MINOR_OTHER | SHTDN_REASON_FLAG_PLANNED;
const unsigned long Win32PowerRequests::kDisplayOnFlags = ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED;

Win32PowerRequests::Win32PowerRequests(std::unique_ptr<IPowerCalls> calls)
    : m_calls(calls ? std::move(calls) : CreateSystemPowerCalls())
{
}

PowerResult Win32PowerRequests::EnablePrivilege()
{
    unsigned long error = 0;
    if (!m_calls->EnableShutdownPrivilege(error)) {
        return PowerResult::Failed("the shutdown privilege could not be enabled: "
                                   + SystemErrorText(error));
    }
    return PowerResult::Ok();
}

PowerResult Win32PowerRequests::Suspend(bool hibernate)
{
    if (PowerResult privilege = EnablePrivilege(); !privilege.ok) {
        return privilege;
    }
    unsigned long error = 0;
    if (!m_calls->SuspendSystem(hibernate, error)) {
        return PowerResult::Failed(CallFailedText("SetSuspendState", error));
    }
    return PowerResult::Ok();
}

PowerResult Win32PowerRequests::Standby()
{
    return Suspend(false);
}

PowerResult Win32PowerRequests::Hibernate()
{
    return Suspend(true);
}

PowerResult Win32PowerRequests::Shutdown()
{
    if (PowerResult privilege = EnablePrivilege(); !privilege.ok) {
        return privilege;
    }
    unsigned long error = 0;
    if (!m_calls->ExitSystem(kShutdownFlags, kShutdownReason, error)) {
        return PowerResult::Failed(CallFailedText("ExitWindowsEx", error));
    }
    return PowerResult::Ok();
}

PowerResult Win32PowerRequests::DisplayOn()
{
    unsigned long error = 0;
    if (!m_calls->SetExecutionState(kDisplayOnFlags, error)) {
        return PowerResult::Failed(CallFailedText("SetThreadExecutionState", error));
    }
    return PowerResult::Ok();
}

} // namespace zembra
