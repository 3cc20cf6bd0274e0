#include "SilenceCommand.h"

namespace zembra::cli {

CSilenceCommand::CSilenceCommand()
    : CCliCommand(
        {"silence",
         {},
         {},
         "silence the ringing alarm of the desktop program",
         "Stops the alarm sound of the running desktop program, as a click on its tray icon\n"
         "does, and says whether one rang. Exits with 5 when the program does not run.\n"})
{
}

int CSilenceCommand::Run(Invocation& call) const
{
    int status = kExitOk;
    IRunningProgram* program = ProgramToAsk(call, status);
    if (program == nullptr) {
        return status;
    }
    bool wasRinging = false;
    if (const ProgramReply reply = program->Silence(wasRinging); !reply.Ok()) {
        return ProgramFailure(call, reply);
    }
    call.out << (wasRinging ? "alarm silenced\n" : "no alarm was ringing\n");
    return kExitOk;
}

} // namespace zembra::cli
