#include "CheckCommand.h"

#include "model/CScheduler.h"
#include "model/IProgramApprovals.h"

namespace zembra::cli {

CCheckCommand::CCheckCommand()
    : CCliCommand(
        {"check",
         {"FILE"},
         {},
         "tell whether a file is an alarm list",
         "Reads FILE as an alarm list. Prints how many alarms it holds, then one line\n"
         "'program not approved: CMDLINE' for each program it would start that is not approved,\n"
         "and exits with 0; or says why it is not an alarm list and exits with 4 (3 when it\n"
         "cannot be read).\n"})
{
}

int CCheckCommand::Run(Invocation& call) const
{
    CScheduler schedule;
    if (const int status = LoadList(call, schedule); status != kExitOk) {
        return status;
    }
    call.out << call.File() << ": alarm list with " << schedule.Count()
             << (schedule.Count() == 1 ? " alarm\n" : " alarms\n");
    if (call.environment.approvals != nullptr) {
        for (const std::string& program :
             UnapprovedPrograms(schedule, *call.environment.approvals)) {
            call.out << "program not approved: " << Printable(program) << '\n';
        }
    }
    return kExitOk;
}

} // namespace zembra::cli
