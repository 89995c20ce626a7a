#include <fcntl.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "platform/posix/posix_services.h"

namespace kesrow {

namespace {

constexpr const char* kInterfaceList = "/proc/net/dev";

[[noreturn]] void ThrowErrno(const std::string& what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

void SetInterfaceName(ifreq& request, const std::string& name)
{
    std::memset(&request, 0, sizeof request);
    name.copy(request.ifr_name, sizeof request.ifr_name - 1);
}

// Mobile-broadband modems are named wwan0, wwp0s20u4, ... by the kernel and udev.
bool IsMobileBroadbandName(const std::string& name)
{
    return name.rfind("ww", 0) == 0;
}

}  // namespace

LinuxDialUp::~LinuxDialUp()
{
    if (socket_ >= 0)
        close(socket_);
    if (interfaceList_ >= 0)
        close(interfaceList_);
}

int LinuxDialUp::activeConnections()
{
    return static_cast<int>(activeInterfaces().size());
}

// /proc/net/dev lists every interface of the reader's network namespace;
// /sys/class/net would show the namespace sysfs was mounted in instead.
std::vector<std::string> LinuxDialUp::activeInterfaces()
{
    // Interface ioctls work on any socket; a local one needs no protocol.
    if (socket_ < 0 && (socket_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0)) < 0)
        ThrowErrno("socket");
    if (interfaceList_ < 0 && (interfaceList_ = open(kInterfaceList, O_RDONLY | O_CLOEXEC)) < 0)
        ThrowErrno(kInterfaceList);
    // Reading from offset 0 makes the kernel write the list anew.
    listText_.resize(std::max<std::size_t>(listText_.size(), 4096));
    std::size_t length = 0;
    for (;;) {
        if (length == listText_.size())
            listText_.resize(listText_.size() * 2);
        const ssize_t got = pread(interfaceList_, listText_.data() + length, listText_.size() - length,
                                  static_cast<off_t>(length));
        if (got < 0)
            ThrowErrno(kInterfaceList);
        if (got == 0)
            break;
        length += static_cast<std::size_t>(got);
    }

    std::vector<std::string> active;
    // Two header lines, then "  name: counters" per interface.
    std::size_t line = 0;
    for (int header = 0; header < 2 && line < length; ++header)
        line = listText_.find('\n', line) + 1;
    while (line > 0 && line < length) {
        const std::size_t colon = listText_.find(':', line);
        const std::size_t end = listText_.find('\n', line);
        if (colon == std::string::npos || colon > end)
            break;
        std::size_t start = listText_.find_first_not_of(' ', line);
        std::string name = listText_.substr(start, colon - start);
        // The link type first: most interfaces are not dial-up, so one ioctl settles them.
        if ((IsMobileBroadbandName(name) || isPointToPointProtocol(name)) && isUpAndRunning(name))
            active.push_back(std::move(name));
        line = end + 1;
    }
    return active;
}

bool LinuxDialUp::isUpAndRunning(const std::string& name)
{
    ifreq request;
    SetInterfaceName(request, name);
    if (ioctl(socket_, SIOCGIFFLAGS, &request) != 0) {
        if (errno == ENODEV)  // gone since the list was read
            return false;
        ThrowErrno("SIOCGIFFLAGS " + name);
    }
    // IFF_RUNNING: the link has carrier, the line is really there.
    const unsigned wanted = IFF_UP | IFF_RUNNING;
    return (request.ifr_flags & wanted) == wanted;
}

bool LinuxDialUp::isPointToPointProtocol(const std::string& name)
{
    ifreq request;
    SetInterfaceName(request, name);
    if (ioctl(socket_, SIOCGIFHWADDR, &request) != 0) {
        if (errno == ENODEV)
            return false;
        ThrowErrno("SIOCGIFHWADDR " + name);
    }
    return request.ifr_hwaddr.sa_family == ARPHRD_PPP;
}

}  // namespace kesrow
