#pragma once

// Starting an alarm's program: the command line is split into words like a shell would, and
// the program is started detached, without a shell, so nothing in it is expanded or run as
// shell code.

#include <string>

namespace zembra {

// False, with the reason in `error`, when the line cannot be split or the program not started.
bool StartProgram(const std::string& commandLine, std::string& error);

} // namespace zembra
