// kesrow.exe: the native Windows tray program.
#include <windows.h>

#include <exception>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_frontend.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    try {
        return kesrow::RunWin32();
    } catch (const std::exception& e) {
        MessageBoxW(nullptr, kesrow::win32::Widen(e.what()).c_str(), L"ケスロウ", MB_OK | MB_ICONEXCLAMATION);
        return 1;
    }
}
