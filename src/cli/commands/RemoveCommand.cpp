#include "RemoveCommand.h"

#include "model/CScheduler.h"

namespace zembra::cli {

CRemoveCommand::CRemoveCommand()
    : CCliCommand(
        {"remove",
         {"FILE", "INDEX"},
         {},
         "delete an alarm",
         "Deletes the alarm at INDEX (counting from 0) from FILE and saves it; through the\n"
         "desktop program while it has FILE open, as add does.\n"})
{
}

int CRemoveCommand::Run(Invocation& call) const
{
    return ChangeOne(
        call, [](CScheduler& schedule, CAlarm& alarm) { schedule.RemoveAlarm(&alarm); },
        [](IRunningProgram& program, int index) { return program.RemoveAlarm(index); });
}

} // namespace zembra::cli
