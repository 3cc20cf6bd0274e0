#include "ShowCommand.h"

namespace zembra::cli {

CShowCommand::CShowCommand()
    : CCliCommand(
        {"show",
         {},
         {},
         "show the window of the desktop program",
         "Brings the running desktop program's window up, out of the tray. Exits with 5 when\n"
         "the program does not run.\n"})
{
}

int CShowCommand::Run(Invocation& call) const
{
    int status = kExitOk;
    IRunningProgram* program = ProgramToAsk(call, status);
    if (program == nullptr) {
        return status;
    }
    if (const ProgramReply reply = program->Show(); !reply.Ok()) {
        return ProgramFailure(call, reply);
    }
    return kExitOk;
}

} // namespace zembra::cli
