// Conversion between the program's UTF-8 text and code page 932 bytes.
#pragma once

#include <string>
#include <string_view>

namespace kesrow {

// Characters code page 932 cannot hold become '?', as the system's own
// conversion does.
std::string ToCp932(std::string_view utf8);
// Bytes that are not code page 932 become U+FFFD.
std::string FromCp932(std::string_view bytes);

}  // namespace kesrow
