#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <vector>

#include "platform/posix/posix_services.h"

namespace kesrow {
namespace {

[[noreturn]] void Fail(int error, const std::string& what)
{
    throw std::system_error(error, std::generic_category(), what);
}

// A folder nobody but the user can write into: theirs, and no one else's
// write bit set.
bool IsPrivateFolder(const std::string& path, uid_t uid)
{
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid &&
           (st.st_mode & 0022) == 0;
}

std::string HomeOf(uid_t uid)
{
    std::vector<char> buffer(16384);
    passwd entry {};
    passwd* found = nullptr;
    const int error = getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found);
    if (!found || !entry.pw_dir || !*entry.pw_dir)
        Fail(error ? error : ENOENT, "no home folder for user " + std::to_string(uid));
    return entry.pw_dir;
}

// Made 0700 when missing; an existing one must already be private.
std::string PrivateFolder(const std::string& path, uid_t uid)
{
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) Fail(errno, path);
    if (!IsPrivateFolder(path, uid)) Fail(EPERM, path);
    return path;
}

}  // namespace

std::string InstanceLockPath(uid_t uid, const std::string& runtimeRoot)
{
    // The runtime folder the system makes for a logged-in user: local, private.
    const std::string runtime = runtimeRoot + "/" + std::to_string(uid);
    struct stat st {};
    if (lstat(runtime.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid &&
        (st.st_mode & 07777) == 0700)
        return runtime + "/kesrow.lock";
    // Only in a home that is the user's own.
    const std::string home = HomeOf(uid);
    if (stat(home.c_str(), &st) != 0 || st.st_uid != uid) Fail(EPERM, home);
    const std::string cache = home + "/.cache";
    if (mkdir(cache.c_str(), 0700) != 0 && errno != EEXIST) Fail(errno, cache);
    return PrivateFolder(cache + "/kesrow", uid) + "/kesrow.lock";
}

InstanceLock::InstanceLock(std::string path) : path_(std::move(path)) {}

InstanceLock::~InstanceLock()
{
    if (fd_ >= 0)
        close(fd_);
}

bool InstanceLock::Acquire()
{
    if (fd_ >= 0)
        return true;
    if (path_.empty())
        path_ = InstanceLockPath();
    // No symlink following: a planted link is refused, not written through.
    const int fd = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0)
        Fail(errno, path_);
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        close(fd);
        if (error == EWOULDBLOCK)
            return false;
        Fail(error, path_);
    }
    fd_ = fd;
    return true;
}

}  // namespace kesrow
