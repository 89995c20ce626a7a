// core/file_calls.h on Windows: CreateFileW and the handle calls, so that
// names in Japanese reach the file system whatever the code page.
#include <windows.h>
#include <io.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>

#include "core/file_calls.h"
#include "core/text_file.h"
#include "core/texts.h"
#include "core/wide_text_win32.h"

namespace kesrow::files {
namespace {

// The errno the callers test (ENOENT, EACCES, EISDIR); the user reads the system's words.
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

[[noreturn]] void Fail(const std::string& path, DWORD error)
{
    throw FileError(path, win32::ErrorText(error), Errno(error));
}

[[noreturn]] void FailWithLastError(const std::string& path)
{
    Fail(path, GetLastError());
}

HANDLE Handle(int fd)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

bool StartsWith(const std::wstring& text, const wchar_t* start)
{
    return text.rfind(start, 0) == 0;
}

// The name the wide calls take. An absolute path goes in the \\?\ form, so
// that one of 260 characters or more works; that form takes every character
// as it is, so the path is made whole first ("/", "..", doubled separators).
std::wstring SystemName(const std::string& path)
{
    const std::wstring name = win32::Widen(path);
    if (StartsWith(name, L"\\\\?\\") || StartsWith(name, L"\\\\.\\")) return name;
    std::wstring full(name.size() + MAX_PATH, L'\0');
    DWORD n = GetFullPathNameW(name.c_str(), DWORD(full.size()), full.data(), nullptr);
    if (n >= full.size()) {
        full.resize(n);
        n = GetFullPathNameW(name.c_str(), DWORD(full.size()), full.data(), nullptr);
    }
    if (n == 0 || n >= full.size()) return name;  // the call on it tells why
    full.resize(n);
    if (StartsWith(full, L"\\\\?\\") || StartsWith(full, L"\\\\.\\")) return full;  // a device: NUL, COM1
    if (StartsWith(full, L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') return L"\\\\?\\" + full;
    return full;
}

HANDLE OpenShared(const std::wstring& name, DWORD rights, DWORD disposition, Links links)
{
    // Other computers' copies read and write the same files: never lock them out.
    return CreateFileW(name.c_str(), rights, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       disposition, FILE_ATTRIBUTE_NORMAL | (links == Links::Refuse ? FILE_FLAG_OPEN_REPARSE_POINT : 0),
                       nullptr);
}

HANDLE OpenHandle(const std::string& path, Access access, Links links)
{
    const std::wstring name = SystemName(path);
    DWORD rights = GENERIC_READ, disposition = OPEN_EXISTING;
    // Write keeps the file as it is: Overwrite writes over it in place.
    if (access == Access::Write) rights = GENERIC_WRITE, disposition = OPEN_ALWAYS;
    if (access == Access::CreateNew) rights = GENERIC_WRITE, disposition = CREATE_NEW;
    // Append data only: every write lands at the end, as with O_APPEND; read
    // access only to see how the last line ends.
    if (access == Access::Append) rights = GENERIC_READ | FILE_APPEND_DATA | SYNCHRONIZE, disposition = OPEN_ALWAYS;
    HANDLE file = OpenShared(name, rights, disposition, links);
    if (file == INVALID_HANDLE_VALUE && access == Access::Append && GetLastError() == ERROR_ACCESS_DENIED)
        file = OpenShared(name, FILE_APPEND_DATA | SYNCHRONIZE, disposition, links);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // A junction or a folder in the file's place cannot be opened as a file.
        const DWORD attributes = GetFileAttributesW(name.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && links == Links::Refuse && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            throw FileError(path, kLinkRefused, ELOOP);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            throw FileError(path, kNotOrdinaryFile, EISDIR);
        Fail(path, error);
    }
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (links == Links::Refuse && GetFileInformationByHandleEx(file, FileAttributeTagInfo, &tag, sizeof tag) &&
        (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        CloseHandle(file);
        // A link (symbolic link, junction) opened as itself is refused; any
        // other reparse point (a deduplicated or cloud file) is the file itself.
        if (IsReparseTagNameSurrogate(tag.ReparseTag)) throw FileError(path, kLinkRefused, ELOOP);
        return OpenHandle(path, access, Links::Follow);
    }
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        throw FileError(path, kNotOrdinaryFile, EINVAL);
    }
    return file;
}

}  // namespace

// likeFile is not used here: a file made in the shared folder takes the
// access rules the folder hands down, which already let its users use it.
int Open(const std::string& path, Access access, Links links, const std::string&)
{
    HANDLE file = OpenHandle(path, access, links);
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), access == Access::Read ? _O_RDONLY : 0);
    if (fd < 0) {
        CloseHandle(file);
        Fail(path, ERROR_TOO_MANY_OPEN_FILES);
    }
    return fd;
}

void Close(int fd, const std::string& path)
{
    // A network file system reports a failed write as late as CloseHandle,
    // whose code _close leaves as the thread's last error.
    if (_close(fd) != 0) Fail(path, GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_INVALID_HANDLE);
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

// Open has found it out already.
void CheckOrdinary(int, const std::string&) {}

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
    if (n != bytes.size()) Fail(path, ERROR_HANDLE_DISK_FULL);
}

void Overwrite(int fd, const std::string& path, const std::string& bytes)
{
    OVERLAPPED at{};  // offset 0
    DWORD n = 0;
    if (!WriteFile(Handle(fd), bytes.data(), DWORD(bytes.size()), &n, &at)) FailWithLastError(path);
    if (n != bytes.size()) Fail(path, ERROR_HANDLE_DISK_FULL);
    LARGE_INTEGER end;
    end.QuadPart = LONGLONG(bytes.size());
    if (!SetFilePointerEx(Handle(fd), end, nullptr, FILE_BEGIN) || !SetEndOfFile(Handle(fd))) FailWithLastError(path);
}

FileTime Modified(int fd, const std::string& path)
{
    FILETIME written;
    SYSTEMTIME utc, local;
    if (!GetFileTime(Handle(fd), nullptr, nullptr, &written) || !FileTimeToSystemTime(&written, &utc) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        FailWithLastError(path);
    // 100 ns steps since 1601-01-01 UTC.
    constexpr std::int64_t kStepsPerSecond = 10'000'000, kSecondsFrom1601To1970 = 11'644'473'600;
    const std::int64_t steps = std::int64_t((std::uint64_t(written.dwHighDateTime) << 32) | written.dwLowDateTime);
    return {steps / kStepsPerSecond - kSecondsFrom1601To1970,
            {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond}};
}

std::vector<std::string> FolderNames(const std::string& folder, std::string_view prefix, std::string_view suffix,
                                     std::size_t most)
{
    std::wstring pattern = SystemName(folder);
    pattern += pattern.ends_with(L'\\') ? L"*" : L"\\*";
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                           FIND_FIRST_EX_LARGE_FETCH);
    std::vector<std::string> names;
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // A drive's empty root has not even "." and "..".
        const DWORD attributes = GetFileAttributesW(SystemName(folder).c_str());
        if (error == ERROR_FILE_NOT_FOUND && attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return names;
        Fail(folder, error);
    }
    const std::unique_ptr<void, decltype(&FindClose)> closer(search, FindClose);
    do {
        const std::string name = win32::Narrow(found.cFileName);
        if (name != "." && name != ".." && name.size() >= prefix.size() + suffix.size() && name.starts_with(prefix) &&
            name.ends_with(suffix))
            names.push_back(name);
    } while (names.size() < most && FindNextFileW(search, &found));
    if (names.size() < most && GetLastError() != ERROR_NO_MORE_FILES) FailWithLastError(folder);
    return names;
}

void Remove(const std::string& path)
{
    if (!DeleteFileW(SystemName(path).c_str()) && Errno(GetLastError()) != ENOENT) FailWithLastError(path);
}

void MoveOver(const std::string& from, const std::string& to)
{
    // Replacing a file that another program is reading at that moment can be
    // refused for a moment: try again briefly.
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(SystemName(from).c_str(), SystemName(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return;
        const DWORD error = GetLastError();
        if (Errno(error) != EACCES || attempt == 20) Fail(to, error);
        Sleep(5);
    }
}

}  // namespace kesrow::files
