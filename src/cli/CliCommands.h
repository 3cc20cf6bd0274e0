#pragma once

// zembractl: reads and changes alarm-list files from the command line, and reaches the running
// desktop program. The commands run in-process on the streams they are given, so that the tests
// see exactly what a user would.

#include "time/ZTime.h"

#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace zembra {

// Exit statuses; scripts tell the failures apart by them.
inline constexpr int kExitOk = 0;
inline constexpr int kExitInternal = 1;     // an unexpected failure inside the tool
inline constexpr int kExitUsage = 2;        // wrong command line
inline constexpr int kExitFileError = 3;    // a file that cannot be read or written
inline constexpr int kExitNotAlarmList = 4; // a file whose text is not an alarm list
inline constexpr int kExitNoProgram = 5;    // silence, snooze, show: no desktop program runs

class IProgramApprovals;
class IRunningProgram;

// What the commands take from the world besides their arguments.
struct CliEnvironment {
    // The present moment (UTC), the default for --at and --from.
    std::function<FileTime()> now = GetSystemTimeAsFileTime;
    // The alarm engine behind `run` (list path, simulated power log or empty, output, errors ->
    // exit status); absent in a build without it.
    std::function<int(const std::string&, const std::string&, std::ostream&, std::ostream&)> run;
    // The approved command lines (the desktop program's store); absent in a build without it.
    IProgramApprovals* approvals = nullptr;
    // Where `approve` reads the user's answer; absent: no answer, nothing approved.
    std::istream* in = nullptr;
    // The desktop program, when one runs: the commands on a list it has open go through it, and
    // silence, snooze and show act on it. Absent in a build that cannot reach it.
    IRunningProgram* program = nullptr;
};

// Runs one command line (without the program name) and returns the exit status.
int RunZembractl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunZembractl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const CliEnvironment& environment);

} // namespace zembra
