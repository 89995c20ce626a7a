#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <system_error>

#include "platform/linux/posix_services.h"

namespace kesrow {

PosixHostName::~PosixHostName()
{
    if (changes_ >= 0) close(changes_);
}

std::string PosixHostName::localHostName()
{
    if (changes_ >= 0 && !changed_) return name_;
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        throw std::system_error(errno, std::generic_category(), "gethostname");
    name_ = name;
    changed_ = false;
    return name_;
}

// Opened once: a change after the open is told, so the name asked next
// (changed_ is still set) is never older than the watch.
int PosixHostName::noticeHandle()
{
    if (!watchTried_) {
        watchTried_ = true;
        changes_ = open("/proc/sys/kernel/hostname", O_RDONLY | O_CLOEXEC);
        changed_ = true;
    }
    return changes_;
}

}  // namespace kesrow
