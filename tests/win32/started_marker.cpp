// The system information tool in the desktop test: leaves "<its own path>.started".
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    wchar_t path[MAX_PATH + 16];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 1;
    HANDLE file = CreateFileW(lstrcatW(path, L".started"), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    return file == INVALID_HANDLE_VALUE || !CloseHandle(file);
}
