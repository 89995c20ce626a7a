// core/file_calls.h on Windows: CreateFileW and the handle calls, so that
// names in Japanese reach the file system whatever the code page.
#include <windows.h>
#include <io.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>

#include "core/file_calls.h"
#include "core/text_file.h"
#include "core/texts.h"
#include "platform/win32/wide_text.h"

namespace kesrow::files {
namespace {

int Errno(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    default: return EIO;
    }
}

[[noreturn]] void Fail(const std::string& path, int err)
{
    throw FileError(path, std::strerror(err), err);
}

[[noreturn]] void FailWithLastError(const std::string& path)
{
    Fail(path, Errno(GetLastError()));
}

HANDLE Handle(int fd)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

}  // namespace

int Open(const std::string& path, Access access, Links, const std::string&)
{
    const std::wstring name = win32::Widen(path);
    DWORD rights = GENERIC_READ, disposition = OPEN_EXISTING;
    if (access == Access::Write) rights = GENERIC_WRITE, disposition = OPEN_ALWAYS;
    if (access == Access::CreateNew) rights = GENERIC_WRITE, disposition = CREATE_NEW;
    // Append data only: every write lands at the end, as with O_APPEND.
    if (access == Access::Append) rights = GENERIC_READ | FILE_APPEND_DATA | SYNCHRONIZE, disposition = OPEN_ALWAYS;
    // Other computers' copies read and replace the same files: never lock them out.
    HANDLE file = CreateFileW(name.c_str(), rights, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        const DWORD attributes = GetFileAttributesW(name.c_str());
        // A folder reads as no ordinary file and refuses writing, as on Linux.
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            if (access == Access::Read) throw FileError(path, kNotOrdinaryFile, EISDIR);
            Fail(path, EISDIR);
        }
        Fail(path, Errno(error));
    }
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        throw FileError(path, kNotOrdinaryFile, EINVAL);
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), access == Access::Read ? _O_RDONLY : 0);
    if (fd < 0) {
        CloseHandle(file);
        Fail(path, EMFILE);
    }
    return fd;
}

void Close(int fd, const std::string& path)
{
    if (_close(fd) != 0) Fail(path, EIO);
}

void CloseQuietly(int fd)
{
    _close(fd);
}

std::uint64_t Size(int fd, const std::string& path)
{
    LARGE_INTEGER size;
    if (!GetFileSizeEx(Handle(fd), &size)) FailWithLastError(path);
    return std::uint64_t(size.QuadPart);
}

std::size_t ReadSome(int fd, const std::string& path, char* buffer, std::size_t size)
{
    DWORD n = 0;
    const DWORD want = DWORD(std::min<std::size_t>(size, 1 << 30));
    if (!ReadFile(Handle(fd), buffer, want, &n, nullptr)) FailWithLastError(path);
    return n;
}

std::string ReadAt(int fd, const std::string& path, std::uint64_t offset, std::size_t length)
{
    std::string bytes(length, '\0');
    OVERLAPPED at{};
    at.Offset = DWORD(offset);
    at.OffsetHigh = DWORD(offset >> 32);
    DWORD n = 0;
    if (!ReadFile(Handle(fd), bytes.data(), DWORD(length), &n, &at) && GetLastError() != ERROR_HANDLE_EOF)
        FailWithLastError(path);
    bytes.resize(n);
    return bytes;
}

void WriteWhole(int fd, const std::string& path, const std::string& bytes)
{
    DWORD n = 0;
    if (!WriteFile(Handle(fd), bytes.data(), DWORD(bytes.size()), &n, nullptr)) FailWithLastError(path);
    if (n != bytes.size()) Fail(path, ENOSPC);
}

void Overwrite(int fd, const std::string& path, const std::string& bytes)
{
    OVERLAPPED at{};
    DWORD n = 0;
    if (!WriteFile(Handle(fd), bytes.data(), DWORD(bytes.size()), &n, &at)) FailWithLastError(path);
    if (n != bytes.size()) Fail(path, ENOSPC);
    LARGE_INTEGER end;
    end.QuadPart = LONGLONG(bytes.size());
    if (!SetFilePointerEx(Handle(fd), end, nullptr, FILE_BEGIN) || !SetEndOfFile(Handle(fd))) FailWithLastError(path);
}

void Remove(const std::string& path)
{
    if (!DeleteFileW(win32::Widen(path).c_str()) && Errno(GetLastError()) != ENOENT) FailWithLastError(path);
}

void MoveOver(const std::string& from, const std::string& to)
{
    // Replacing a file that another computer is reading at that moment can be
    // refused for a moment, over a share as on a local disk: try again briefly.
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(win32::Widen(from).c_str(), win32::Widen(to).c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return;
        const int err = Errno(GetLastError());
        if (err != EACCES || attempt == 20) Fail(to, err);
        Sleep(5);
    }
}

}  // namespace kesrow::files
