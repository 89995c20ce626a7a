// Conversion between the program's UTF-8 text and code page 932 bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kesrow {

// The bytes of the UTF-8 sequence s starts with (s not empty): as many as
// its lead byte says, fewer where a continuation byte is missing; a byte
// that cannot lead stands alone.
inline std::size_t Utf8SequenceLength(std::string_view s)
{
    const auto lead = static_cast<unsigned char>(s[0]);
    const std::size_t n = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    for (std::size_t i = 1; i < n; ++i)
        if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return i;
    return n;
}

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
