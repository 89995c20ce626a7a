// Conversion between the program's UTF-8 text and code page 932 bytes.
#pragma once

#include <string>
#include <string_view>

namespace kesrow {

namespace codepage {
// The system's conversions; ASCII is the same in both and never reaches them.
std::string SystemToCp932(std::string_view utf8);
std::string SystemFromCp932(std::string_view bytes);

inline bool IsAscii(std::string_view text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}
}  // namespace codepage

// Characters code page 932 cannot hold become '?', as the system's own
// conversion does.
inline std::string ToCp932(std::string_view utf8)
{
    return codepage::IsAscii(utf8) ? std::string(utf8) : codepage::SystemToCp932(utf8);
}

// Bytes that are not code page 932 become U+FFFD.
inline std::string FromCp932(std::string_view bytes)
{
    return codepage::IsAscii(bytes) ? std::string(bytes) : codepage::SystemFromCp932(bytes);
}

}  // namespace kesrow
