#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <vector>

#include "platform/linux/posix_services.h"

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

std::vector<std::string> InstanceLockPaths(uid_t uid, const std::string& runtimeRoot, const std::string& hostName)
{
    std::vector<std::string> paths;
    // The runtime folder the system makes for a logged-in user: local, private.
    const std::string runtime = runtimeRoot + "/" + std::to_string(uid);
    struct stat st {};
    if (lstat(runtime.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid &&
        (st.st_mode & 07777) == 0700)
        paths.push_back(runtime + "/kesrow.lock");
    // And always in the home, which is there from the first moment: a copy
    // started before the runtime folder appeared holds this one. A home
    // shared by several computers holds one per computer.
    try {
        const std::string home = HomeOf(uid);
        if (stat(home.c_str(), &st) != 0 || st.st_uid != uid) Fail(EPERM, home);
        const std::string cache = home + "/.cache";
        if (mkdir(cache.c_str(), 0700) != 0 && errno != EEXIST) Fail(errno, cache);
        paths.push_back(PrivateFolder(cache + "/kesrow", uid) + "/" + hostName + ".lock");
    } catch (const std::system_error&) {
        if (paths.empty()) throw;
    }
    return paths;
}

InstanceLock::InstanceLock(std::vector<std::string> paths) : paths_(std::move(paths)) {}

InstanceLock::~InstanceLock()
{
    for (int fd : fds_) close(fd);
}

bool InstanceLock::Acquire()
{
    if (!fds_.empty())
        return true;
    if (paths_.empty()) {
        std::string host = PosixHostName().localHostName();
        for (char& c : host)
            if (c == '/') c = '_';
        paths_ = InstanceLockPaths(getuid(), "/run/user", host);
    }
    std::vector<int> fds;
    const auto release = [&fds] {
        for (int fd : fds) close(fd);
    };
    for (const std::string& path : paths_) {
        // No symlink following: a planted link is refused, not written through.
        const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
        if (fd < 0) {
            const int error = errno;
            release();
            Fail(error, path);
        }
        fds.push_back(fd);
        if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            release();
            if (error == EWOULDBLOCK)
                return false;
            Fail(error, path);
        }
    }
    fds_ = std::move(fds);
    return true;
}

}  // namespace kesrow
