// The program's UTF-8 text as the UTF-16 that Windows calls take, and back.
#pragma once

#include <string>
#include <string_view>

namespace kesrow::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);
// Text in the system's ANSI code page (the registry's and Winsock's "A" answers).
std::string FromAnsi(std::string_view ansi);
// The system's own words for a Windows error code, in the user's language
// (FormatMessageW), without the line end the system puts after them.
std::string ErrorText(unsigned long error);

}  // namespace kesrow::win32
