// core/codepage.h on Windows: the system's own code page 932 tables, with
// the same substitutions as the iconv build so that every copy writes and
// shows the same text.
#include <windows.h>

#include "core/codepage.h"
#include "core/wide_text_win32.h"

namespace kesrow {
namespace {

constexpr UINT kCp932 = 932;

bool IsLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Single bytes Windows maps to private-use or control characters (0x80,
// 0xA0, 0xFD-0xFF) are not code page 932 text for iconv; neither here.
bool IsSingleByte(unsigned char b)
{
    return b < 0x80 || (b >= 0xA1 && b <= 0xDF);
}

// One character of bytes, or 0 when they are not code page 932.
wchar_t DecodeOne(const char* bytes, int length)
{
    wchar_t wide[2];
    return MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, bytes, length, wide, 2) == 1 ? wide[0] : 0;
}

}  // namespace

std::string codepage::SystemToCp932(std::string_view utf8)
{
    std::wstring wide = win32::Widen(utf8);
    // Code page 932 holds nothing beyond the BMP: a surrogate pair is one
    // character that becomes one '?', not two.
    std::wstring chars;
    chars.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const bool pair = IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size() && IS_LOW_SURROGATE(wide[i + 1]);
        chars += pair ? L'?' : wide[i];
        if (pair) ++i;
    }
    if (chars.empty()) return {};
    // No best fit: "é" is '?' as on Linux, not 'e', or a host name would be
    // written differently by the copies of one computer's two systems.
    const DWORD flags = WC_NO_BEST_FIT_CHARS;
    const int n = WideCharToMultiByte(kCp932, flags, chars.data(), int(chars.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(n, '\0');
    WideCharToMultiByte(kCp932, flags, chars.data(), int(chars.size()), bytes.data(), n, nullptr, nullptr);
    return bytes;
}

std::string codepage::SystemFromCp932(std::string_view bytes)
{
    std::wstring wide;
    wide.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            wide += wchar_t(b);
            ++i;
            continue;
        }
        const int length = IsLeadByte(b) ? 2 : 1;
        wchar_t c = 0;
        if (i + length <= bytes.size() && (length == 2 || IsSingleByte(b))) c = DecodeOne(bytes.data() + i, length);
        // A bad pair gives up its first byte only: the second may begin the next character.
        wide += c ? c : L'\xFFFD';
        i += c ? length : 1;
    }
    return win32::Narrow(wide);
}

}  // namespace kesrow
