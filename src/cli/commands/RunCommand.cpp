#include "RunCommand.h"

namespace zembra::cli {

CRunCommand::CRunCommand()
    : CCliCommand(
        {"run",
         {"FILE"},
         {{"simulate-power", "LOG",
           "append the power requests to LOG instead of making them (nothing is suspended)"}},
         "carry the alarms of a list out as they come due",
         "Keeps the wake timer armed for the earliest alarm of FILE and carries each alarm out\n"
         "when it comes due: prints '<local time> <type> <comment>: <message>', starts its\n"
         "program (split into arguments, no shell) when the command line is approved, and makes\n"
         "the power request of its type. An alarm carried out more than 2 minutes late (the\n"
         "computer slept, or the engine was stopped) never changes the power state; its line\n"
         "ends with '(late N min)'. A program not approved is held back and said on standard\n"
         "error. FILE is read again when it changes; the list is searched again when the\n"
         "system clock or the time zone is set. Runs until interrupted (Ctrl+C) or terminated.\n"
         "Whether the timer can wake the computer from sleep is told at start; waking needs\n"
         "the CAP_WAKE_ALARM capability (sudo setcap cap_wake_alarm+ep PATH-OF-zembractl).\n"})
{
}

int CRunCommand::Run(Invocation& call) const
{
    if (!call.environment.run) {
        call.err << kProgram << ": run: this build of " << kProgram
                 << " has no alarm engine (it was built without Qt)\n";
        return kExitInternal;
    }
    const std::string* simulate = call.Value("simulate-power");
    return call.environment.run(call.File(), simulate != nullptr ? *simulate : std::string(),
                                call.out, call.err);
}

} // namespace zembra::cli
