#pragma once

// Conversion between UTF-8, the program's inner encoding, and windows-1250, the code page of
// alarm-list files. Both directions are lossless for every text windows-1250 can hold: the five
// bytes the code page leaves undefined map to the C1 control characters of the same number.

#include <string>
#include <string_view>

namespace zembra {

// Every byte has a character, so this never fails.
std::string Cp1250ToUtf8(std::string_view cp1250);

// True when every character of the UTF-8 text has a windows-1250 byte.
bool FitsCp1250(std::string_view utf8);

// Converts; characters without a byte become '?'. Check FitsCp1250 first where that matters.
std::string Utf8ToCp1250(std::string_view utf8);

// Replaces every malformed UTF-8 sequence with U+FFFD, so that what came from a file is safe to
// hand to anything that expects valid UTF-8.
std::string SanitizeUtf8(std::string_view bytes);

} // namespace zembra
