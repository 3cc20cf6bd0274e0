#pragma once

// Splitting an alarm's program command line into the program and its arguments, the way a
// POSIX shell splits words, without running a shell: no variables, no globbing, no pipes.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zembra {

// Blanks and tabs separate words; '...' keeps everything literally; "..." keeps everything but
// lets a backslash escape ", \, $ and `; outside quotes a backslash takes the next character
// literally. Returns nullopt (with the reason in `error`) for an unterminated quote; an empty
// or blank line gives no words.
std::optional<std::vector<std::string>> SplitCommandLine(std::string_view commandLine,
                                                         std::string* error = nullptr);

} // namespace zembra
