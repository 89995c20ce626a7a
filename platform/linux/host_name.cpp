#include <unistd.h>

#include <cerrno>
#include <climits>
#include <system_error>

#include "platform/linux/posix_services.h"

namespace kesrow {

std::string PosixHostName::localHostName()
{
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        throw std::system_error(errno, std::generic_category(), "gethostname");
    return name;
}

}  // namespace kesrow
