#pragma once

// Whole-file reading and crash-safe writing of alarm lists.

#include <cstddef>
#include <string>
#include <string_view>

namespace zembra {

// Largest file read whole; an alarm list of 10,000 alarms is about 3 MB.
inline constexpr std::size_t kMaxReadSize = 64u * 1024u * 1024u;

// Reads the whole file. On failure returns false and says why in `error`
// (the system's reason, e.g. "No such file or directory").
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error);

// Writes a new file beside the target, flushes it to disk and renames it over the target, so
// that a failure at any point leaves the old file as it was. A target that is a symbolic link
// is written through (the link stays). An existing target's permission bits are kept; a new
// file gets the process's default ones.
//
// A target whose permission bits do not let this user write it is refused, as editors refuse
// it, even where the folder would allow the rename (and even for root).
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

// True when the file exists and its permission bits deny writing to the user running the
// program (the owner's bits for the owner, the group's for a member, the others' otherwise).
bool IsWriteProtected(const std::string& path);

} // namespace zembra
