#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "platform/posix/posix_services.h"

namespace kesrow {

std::string InstanceLockPath()
{
    // The runtime directory is private to the user and on local disk or tmpfs.
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat st {};
    if (runtime && *runtime && stat(runtime, &st) == 0 && S_ISDIR(st.st_mode))
        return std::string(runtime) + "/kesrow.lock";
    return "/tmp/kesrow-" + std::to_string(getuid()) + ".lock";
}

InstanceLock::~InstanceLock()
{
    if (fd_ >= 0)
        close(fd_);
}

bool InstanceLock::Acquire()
{
    if (fd_ >= 0)
        return true;
    const std::string path = InstanceLockPath();
    // No symlink following: /tmp is shared with other users.
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        throw std::system_error(errno, std::generic_category(), path);
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        close(fd);
        if (error == EWOULDBLOCK)
            return false;
        throw std::system_error(error, std::generic_category(), path);
    }
    fd_ = fd;
    return true;
}

}  // namespace kesrow
