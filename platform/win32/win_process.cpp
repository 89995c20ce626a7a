#include "platform/win32/win_process.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <system_error>

#include "core/wide_text_win32.h"

namespace kesrow::win32 {

LocalDateTime WinClock::now()
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

WinProcess::~WinProcess()
{
    if (mutex_) CloseHandle(mutex_);
}

bool WinProcess::previousInstance()
{
    if (!mutex_) mutex_ = CreateMutexW(nullptr, FALSE, L"Local\\kesrow");
    if (!mutex_) throw std::system_error(int(GetLastError()), std::system_category(), "CreateMutexW");
    return GetLastError() == ERROR_ALREADY_EXISTS;
}

std::string WinProcess::currentDirectory()
{
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    std::wstring dir(n, L'\0');
    const DWORD length = GetCurrentDirectoryW(n, dir.data());
    if (length == 0 || length >= n)
        throw std::system_error(int(GetLastError()), std::system_category(), "GetCurrentDirectoryW");
    dir.resize(length);
    return Narrow(dir);
}

std::string WinProcess::computerSettingsDirectory()
{
    wchar_t* folder = nullptr;
    std::string directory;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &folder))) directory = Narrow(folder) + "\\kesrow";
    CoTaskMemFree(folder);
    return directory;
}

void WinProcess::end(int exitStatus)
{
    ExitProcess(UINT(exitStatus));
}

}  // namespace kesrow::win32
