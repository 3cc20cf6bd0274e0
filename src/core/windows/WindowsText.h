#pragma once

// Text at the Windows boundary: the program holds UTF-8, the system's wide functions take
// UTF-16, and every failure is told in the system's own words.

#include <string>

namespace zembra {

std::wstring Utf8ToWide(const std::string& utf8);
std::string WideToUtf8(const std::wstring& wide);

// The system's text for a Win32 error code or an HRESULT ("Access is denied."), without the
// line break FormatMessage ends it with; the number itself when the system has no text.
std::string SystemErrorText(unsigned long code);
// "<call> failed: <the system's text>"
std::string CallFailedText(const char* call, unsigned long code);

} // namespace zembra
