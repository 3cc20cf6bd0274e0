#include "SnoozeCommand.h"

namespace zembra::cli {

namespace {

// The longest snooze asked for: a day.
constexpr unsigned long long kMaxSnoozeMinutes = 24 * 60;

} // namespace

CSnoozeCommand::CSnoozeCommand()
    : CCliCommand(
        {"snooze",
         {},
         {},
         "ring the alarm of the desktop program again later",
         "Silences the ringing alarm of the running desktop program and has it ring again in\n"
         "MINUTES (1 to 1440; without it, the program's own snooze time). Exits with 5 when\n"
         "the program does not run.\n",
         "MINUTES"})
{
}

int CSnoozeCommand::Run(Invocation& call) const
{
    unsigned long long minutes = 0;
    if (!call.operands.empty()) {
        const std::string& text = call.operands.front();
        if (ReadUnsigned(text, minutes) != NumberRead::Ok || minutes < 1
            || minutes > kMaxSnoozeMinutes) {
            return call.UsageError("MINUTES must be a whole number from 1 to "
                                   + std::to_string(kMaxSnoozeMinutes) + ", not '" + text + "'");
        }
    }
    int status = kExitOk;
    IRunningProgram* program = ProgramToAsk(call, status);
    if (program == nullptr) {
        return status;
    }
    if (const ProgramReply reply = program->Snooze(static_cast<unsigned>(minutes)); !reply.Ok()) {
        return ProgramFailure(call, reply);
    }
    call.out << "alarm snoozed\n";
    return kExitOk;
}

} // namespace zembra::cli
