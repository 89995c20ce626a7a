#include "core/wide_text_win32.h"

#include <windows.h>

namespace kesrow::win32 {
namespace {

std::wstring ToWide(UINT codePage, std::string_view text)
{
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(n, L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), wide.data(), n);
    return wide;
}

}  // namespace

std::wstring Widen(std::string_view utf8)
{
    return ToWide(CP_UTF8, utf8);
}

std::string Narrow(std::wstring_view wide)
{
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), utf8.data(), n, nullptr, nullptr);
    return utf8;
}

std::string FromAnsi(std::string_view ansi)
{
    return Narrow(ToWide(CP_ACP, ansi));
}

std::string ErrorText(unsigned long error)
{
    wchar_t* words = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, error, 0, reinterpret_cast<wchar_t*>(&words), 0, nullptr);
    while (n > 0 && (words[n - 1] == L'\r' || words[n - 1] == L'\n' || words[n - 1] == L' ')) --n;
    const std::string text = n > 0 ? Narrow({words, n}) : "Windows error " + std::to_string(error);
    LocalFree(words);
    return text;
}

}  // namespace kesrow::win32
