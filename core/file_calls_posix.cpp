#include "core/file_calls.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>

#include "core/text_file.h"
#include "core/texts.h"

namespace kesrow::files {
namespace {

std::string SystemMessage(int err)
{
    char buf[256];
    // GNU strerror_r: the message in the user's language where the system has it.
    return strerror_r(err, buf, sizeof buf);
}

[[noreturn]] void Fail(const std::string& path, int err)
{
    throw FileError(path, SystemMessage(err), err);
}

// The status of fd, which must be an ordinary file.
struct stat OrdinaryStat(int fd, const std::string& path)
{
    struct stat st {};
    if (fstat(fd, &st) != 0) Fail(path, errno);
    if (!S_ISREG(st.st_mode)) throw FileError(path, kNotOrdinaryFile, S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    return st;
}

// Opened without waiting: a FIFO in the file's place would block for ever.
// A file opened to be read keeps O_NONBLOCK, which an ordinary file
// ignores, and its kind is asked only when a read finds what an ordinary
// file would not give (ReadSome, CheckOrdinary): the poll cycle's read
// costs the open, one read and the close.
int OpenOrdinaryFile(const std::string& path, int flags, Links links)
{
    if (links == Links::Refuse) flags |= O_NOFOLLOW;
    const int fd = open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno == ELOOP && links == Links::Refuse) throw FileError(path, kLinkRefused, ELOOP);
        Fail(path, errno);
    }
    if ((flags & O_ACCMODE) == O_RDONLY) return fd;
    try {
        OrdinaryStat(fd, path);
    } catch (...) {
        close(fd);
        throw;
    }
    fcntl(fd, F_SETFL, flags & O_APPEND);  // of the flags F_SETFL sets, keep O_APPEND alone
    return fd;
}

// A new file gets the bits the folder's admin gave likeFile, not this
// user's umask, and its group where this user may give it.
void TakeAccessOf(int fd, const std::string& likeFile)
{
    struct stat like {};
    if (likeFile.empty() || lstat(likeFile.c_str(), &like) != 0 || !S_ISREG(like.st_mode)) return;
    fchmod(fd, like.st_mode & 0666);
    struct stat made {};
    if (fstat(fd, &made) == 0 && made.st_gid != like.st_gid && fchown(fd, uid_t(-1), like.st_gid) != 0) {
        // Not a member of that group: the folder's own rule stands.
    }
}

// Opens the file as it is, or creates it when it is missing; only a file
// this call created takes likeFile's access.
int OpenOrCreate(const std::string& path, int flags, Links links, const std::string& likeFile)
{
    for (int attempt = 0;; ++attempt) {
        try {
            return OpenOrdinaryFile(path, flags, links);
        } catch (const FileError& e) {
            if (e.error() != ENOENT) throw;
        }
        try {
            const int fd = OpenOrdinaryFile(path, flags | O_CREAT | O_EXCL, Links::Refuse);
            TakeAccessOf(fd, likeFile);
            return fd;
        } catch (const FileError& e) {
            // Another computer created it meanwhile: open theirs.
            if (e.error() != EEXIST || attempt == 3) throw;
        }
    }
}

}  // namespace

int Open(const std::string& path, Access access, Links links, const std::string& likeFile)
{
    switch (access) {
    case Access::Read: return OpenOrdinaryFile(path, O_RDONLY, links);
    case Access::Write: return OpenOrCreate(path, O_WRONLY, links, likeFile);
    case Access::CreateNew: {
        const int fd = OpenOrdinaryFile(path, O_WRONLY | O_CREAT | O_EXCL, Links::Refuse);
        TakeAccessOf(fd, likeFile);
        return fd;
    }
    case Access::Append:
        // Read access only to see how the last line ends.
        try {
            return OpenOrCreate(path, O_RDWR | O_APPEND, links, likeFile);
        } catch (const FileError& e) {
            if (e.error() != EACCES) throw;
            return OpenOrCreate(path, O_WRONLY | O_APPEND, links, likeFile);
        }
    }
    return -1;
}

void Close(int fd, const std::string& path)
{
    if (close(fd) != 0) Fail(path, errno);
}

void CloseQuietly(int fd)
{
    close(fd);
}

std::uint64_t Size(int fd, const std::string& path)
{
    return std::uint64_t(OrdinaryStat(fd, path).st_size);
}

void CheckOrdinary(int fd, const std::string& path)
{
    OrdinaryStat(fd, path);
}

std::size_t ReadSome(int fd, const std::string& path, char* buffer, std::size_t size)
{
    for (;;) {
        const ssize_t n = read(fd, buffer, size);
        if (n >= 0) return std::size_t(n);
        const int err = errno;
        // A folder, or a FIFO that has a writer but nothing written.
        if (err == EISDIR || err == EAGAIN) CheckOrdinary(fd, path);
        if (err != EINTR) Fail(path, err);
    }
}

std::string ReadAt(int fd, const std::string& path, std::uint64_t offset, std::size_t length)
{
    std::string bytes(length, '\0');
    ssize_t n;
    do n = pread(fd, bytes.data(), bytes.size(), off_t(offset));
    while (n < 0 && errno == EINTR);
    if (n < 0) Fail(path, errno);
    bytes.resize(std::size_t(n));
    return bytes;
}

void WriteWhole(int fd, const std::string& path, const std::string& bytes)
{
    ssize_t n;
    do n = write(fd, bytes.data(), bytes.size());
    while (n < 0 && errno == EINTR);
    if (n < 0) Fail(path, errno);
    if (std::size_t(n) != bytes.size()) {
        // A full disk took only the line's head: cut it off again, so that
        // the file ends in a whole line, unless another writer came after it.
        const off_t end = lseek(fd, 0, SEEK_CUR);
        struct stat st {};
        if (end >= n && fstat(fd, &st) == 0 && st.st_size == end && ftruncate(fd, end - n) != 0) {
            // Left torn: the next append ends that line first.
        }
        Fail(path, ENOSPC);
    }
}

void Overwrite(int fd, const std::string& path, const std::string& bytes)
{
    ssize_t n;
    do n = pwrite(fd, bytes.data(), bytes.size(), 0);
    while (n < 0 && errno == EINTR);
    if (n < 0) Fail(path, errno);
    if (std::size_t(n) != bytes.size()) Fail(path, ENOSPC);
    int rc;
    do rc = ftruncate(fd, off_t(bytes.size()));
    while (rc != 0 && errno == EINTR);
    if (rc != 0) Fail(path, errno);
}

FileTime Modified(int fd, const std::string& path)
{
    const struct stat st = OrdinaryStat(fd, path);
    std::tm tm{};
    if (localtime_r(&st.st_mtime, &tm) == nullptr) Fail(path, errno);
    return {std::int64_t(st.st_mtime), {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec}};
}

std::vector<std::string> FolderNames(const std::string& folder, std::string_view prefix, std::string_view suffix,
                                     std::size_t most)
{
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir) Fail(folder, errno);
    std::vector<std::string> names;
    while (names.size() < most) {
        errno = 0;
        const dirent* entry = readdir(dir.get());
        if (!entry) {
            if (errno != 0) Fail(folder, errno);
            break;
        }
        const std::string_view name = entry->d_name;
        if (name.size() >= prefix.size() + suffix.size() && name.starts_with(prefix) && name.ends_with(suffix))
            names.emplace_back(name);
    }
    return names;
}

void Remove(const std::string& path)
{
    if (unlink(path.c_str()) != 0 && errno != ENOENT) Fail(path, errno);
}

void MoveOver(const std::string& from, const std::string& to)
{
    if (std::rename(from.c_str(), to.c_str()) != 0) Fail(to, errno);
}

}  // namespace kesrow::files
