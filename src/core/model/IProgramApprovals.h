#pragma once

// Which command lines the user has approved. A list carries command lines that are started at
// the alarm's moment with the user's rights; one that came from elsewhere (received by mail,
// downloaded) must not run anything the user never saw. Approval is per command line, kept by
// the user's settings: what the user typed, picked or saved is approved, and a command line
// changed behind the program's back is a new one, not approved.

#include "model/CScheduler.h"

#include <string>
#include <vector>

namespace zembra {

class IProgramApprovals {
public:
    virtual ~IProgramApprovals() = default;
    virtual bool IsApproved(const std::string& commandLine) const = 0;
    // Approves the command lines; false when the approval could not be stored.
    virtual bool Approve(const std::vector<std::string>& commandLines) = 0;
};

// The command lines of the list's switched-on program actions that are not approved, in list
// order, each once.
std::vector<std::string> UnapprovedPrograms(const CScheduler& schedule,
                                            const IProgramApprovals& approvals);
// Every command line of the list (switched on or not), each once: what saving the list approves.
std::vector<std::string> ProgramsOf(const CScheduler& schedule);
// True when the alarm's program action is switched on and its command line is not approved.
bool IsProgramHeldBack(const CAlarm& alarm, const IProgramApprovals& approvals);

} // namespace zembra
