// core/path_io.h on Windows: the wide-character calls, so that folder and
// file names in Japanese reach the file system whatever the code page.
#include <windows.h>

#include <cerrno>
#include <cstdio>

#include "core/path_io.h"
#include "platform/win32/wide_text.h"

namespace kesrow {

std::FILE* OpenPath(const std::string& path, const char* mode)
{
    return _wfopen(win32::Widen(path).c_str(), win32::Widen(mode).c_str());
}

bool RenamePath(const std::string& from, const std::string& to)
{
    // The C library's rename refuses to replace a file that exists.
    if (MoveFileExW(win32::Widen(from).c_str(), win32::Widen(to).c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: errno = ENOENT; break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: errno = EACCES; break;
    default: errno = EIO; break;
    }
    return false;
}

void RemovePath(const std::string& path)
{
    _wremove(win32::Widen(path).c_str());
}

}  // namespace kesrow
