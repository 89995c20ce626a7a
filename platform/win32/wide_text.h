// The program's UTF-8 text as the UTF-16 that Windows calls take, and back.
#pragma once

#include <string>
#include <string_view>

namespace kesrow::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);
// Text in the system's ANSI code page (the registry's and Winsock's "A" answers).
std::string FromAnsi(std::string_view ansi);

}  // namespace kesrow::win32
