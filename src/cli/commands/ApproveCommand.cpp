#include "ApproveCommand.h"

#include "model/CScheduler.h"
#include "model/IProgramApprovals.h"
#include "model/ListLock.h"

namespace zembra::cli {

CApproveCommand::CApproveCommand()
    : CCliCommand(
        {"approve",
         {"FILE"},
         {{"yes", "", "approve without asking"}},
         "approve the programs a list starts",
         "Prints every command line that FILE would start and that is not approved, and approves\n"
         "them after a yes on standard input (or at once with --yes). A list from elsewhere\n"
         "starts no program until its command lines are approved, here or in the desktop\n"
         "program; the approvals are the desktop program's own.\n"})
{
}

int CApproveCommand::Run(Invocation& call) const
{
    if (call.environment.approvals == nullptr) {
        call.err << kProgram << ": approve: this build of " << kProgram
                 << " has no access to the approvals (it was built without Qt)\n";
        return kExitInternal;
    }
    // Taken where it can be, so that a writer busy with the list finishes before its programs
    // are read; a list in a folder this user may not write is approved all the same.
    ListLock lock(call.File());
    std::string lockError;
    lock.Acquire(kLockTimeoutMs, lockError);
    CScheduler schedule;
    if (const int status = LoadList(call, schedule); status != kExitOk) {
        return status;
    }
    const std::vector<std::string> programs =
        UnapprovedPrograms(schedule, *call.environment.approvals);
    if (programs.empty()) {
        call.out << call.File() << ": every program of the list is approved\n";
        return kExitOk;
    }
    call.out << call.File() << " starts these programs, not approved yet:\n";
    for (const std::string& program : programs) {
        call.out << "  " << Printable(program) << '\n';
    }
    if (!call.Has("yes")) {
        call.out << "Approve them? [y/N] " << std::flush;
        std::string answer;
        if (call.environment.in == nullptr || !std::getline(*call.environment.in, answer)
            || (answer != "y" && answer != "Y" && answer != "yes")) {
            call.out << "Nothing approved.\n";
            return kExitOk;
        }
    }
    if (!call.environment.approvals->Approve(programs)) {
        call.err << kProgram << ": approve: the approvals cannot be stored in the settings\n";
        return kExitFileError;
    }
    call.out << "Approved " << programs.size()
             << (programs.size() == 1 ? " program.\n" : " programs.\n");
    return kExitOk;
}

} // namespace zembra::cli
