// kesrow.exe: the native Windows tray program, or with arguments the same
// command line as Linux, answering in the console it was started from.
#include <windows.h>

#include <exception>

#include "app/command_line.h"
#include "core/wide_text_win32.h"
#include "platform/win32/win32_frontend.h"
#include "platform/win32/win_console.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const std::vector<std::string> arguments = kesrow::win32::CommandLineArguments();
    if (!arguments.empty()) {
        kesrow::win32::AttachParentConsole();
        return kesrow::RunCommandLine(arguments, [](kesrow::StartedProgram) { return kesrow::RunWin32(); });
    }
    try {
        return kesrow::RunWin32();
    } catch (const std::exception& e) {
        MessageBoxW(nullptr, kesrow::win32::Widen(e.what()).c_str(), L"ケスロウ", MB_OK | MB_ICONEXCLAMATION);
        return 1;
    }
}
