// rasapi32.dll for the desktop test's prefix: a simulated dial-up line,
// one connection while the file named by KESROW_DIALUP_FILE exists.
#include <windows.h>

extern "C" __declspec(dllexport) DWORD WINAPI RasEnumConnectionsA(void*, DWORD*, DWORD* count)
{
    wchar_t path[MAX_PATH];
    const DWORD n = GetEnvironmentVariableW(L"KESROW_DIALUP_FILE", path, MAX_PATH);
    *count = n > 0 && n < MAX_PATH && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES ? 1 : 0;
    return 0;
}
