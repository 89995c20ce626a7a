#include "platform/win32/win_console.h"

#include <windows.h>
#include <shellapi.h>

#include "core/wide_text_win32.h"

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

std::optional<std::string> ReadConsoleLine()
{
    // Input from a file or a pipe is no one typing: as on Linux, no answer.
    const HANDLE given = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode;
    if (given != nullptr && given != INVALID_HANDLE_VALUE && !GetConsoleMode(given, &mode)) return {};
    // A GUI program's own standard input is empty; its starter's console is reached by name.
    const HANDLE console = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE) return {};
    std::wstring line;
    wchar_t chunk[256];
    DWORD n = 0;
    while (!line.ends_with(L'\n') && ReadConsoleW(console, chunk, 256, &n, nullptr) && n > 0) line.append(chunk, n);
    CloseHandle(console);
    // Ctrl+Z at a line's start ends the input, as the C runtime reads it.
    if (!line.ends_with(L'\n') || line.starts_with(L'\x1A')) return {};
    while (line.ends_with(L'\n') || line.ends_with(L'\r')) line.pop_back();
    return Narrow(line);
}

bool UserReadsJapanese()
{
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE;
}

}  // namespace kesrow::win32
