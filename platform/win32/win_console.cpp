#include "platform/win32/win_console.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/win32/wide_text.h"

namespace kesrow::win32 {

std::vector<std::string> CommandLineArguments()
{
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; words && i < count; ++i) arguments.push_back(Narrow(words[i]));
    LocalFree(words);
    return arguments;
}

void AttachParentConsole()
{
    AttachConsole(ATTACH_PARENT_PROCESS);
}

void WriteStandard(bool error, std::string_view utf8)
{
    HANDLE stream = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    // Not redirected: a GUI program's standard handles are empty even when
    // it shares its starter's console, which is reached by name then.
    if (stream == nullptr || stream == INVALID_HANDLE_VALUE) {
        static const HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE,
                                                  nullptr, OPEN_EXISTING, 0, nullptr);
        stream = console;
    }
    if (stream == INVALID_HANDLE_VALUE) return;
    DWORD mode, written;
    if (GetConsoleMode(stream, &mode)) {
        const std::wstring wide = Widen(utf8);
        WriteConsoleW(stream, wide.data(), DWORD(wide.size()), &written, nullptr);
    } else {
        WriteFile(stream, utf8.data(), DWORD(utf8.size()), &written, nullptr);
    }
}

bool UserReadsJapanese()
{
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE;
}

}  // namespace kesrow::win32
