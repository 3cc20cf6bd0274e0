#include "DisableCommand.h"

namespace zembra::cli {

CDisableCommand::CDisableCommand()
    : CCliCommand({"disable",
                   {"FILE", "INDEX"},
                   {},
                   "switch an alarm off",
                   "Switches the alarm at INDEX (counting from 0) off and saves FILE; through the\n"
                   "desktop program while it has FILE open, as add does.\n"})
{
}

int CDisableCommand::Run(Invocation& call) const
{
    return ChangeOne(
        call, [](CScheduler&, CAlarm& alarm) { alarm.m_bActive = false; },
        [](IRunningProgram& program, int index) { return program.SetAlarmActive(index, false); });
}

} // namespace zembra::cli
