#include "EnableCommand.h"

namespace zembra::cli {

CEnableCommand::CEnableCommand()
    : CCliCommand({"enable",
                   {"FILE", "INDEX"},
                   {},
                   "switch an alarm on",
                   "Switches the alarm at INDEX (counting from 0) on and saves FILE; through the\n"
                   "desktop program while it has FILE open, as add does.\n"})
{
}

int CEnableCommand::Run(Invocation& call) const
{
    return ChangeOne(
        call, [](CScheduler&, CAlarm& alarm) { alarm.m_bActive = true; },
        [](IRunningProgram& program, int index) { return program.SetAlarmActive(index, true); });
}

} // namespace zembra::cli
