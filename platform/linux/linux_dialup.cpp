#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <poll.h>
#include <net/if_arp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>

#include "platform/linux/posix_services.h"

namespace kesrow {

namespace {

[[noreturn]] void ThrowErrno(const std::string& what, int error = errno)
{
    throw std::system_error(error, std::generic_category(), what);
}

// Mobile-broadband modems are named wwan0, wwp0s20u4, ... by the kernel and udev.
bool IsMobileBroadbandName(const std::string& name)
{
    return name.rfind("ww", 0) == 0;
}

}  // namespace

LinuxDialUp::~LinuxDialUp()
{
    if (socket_ >= 0) close(socket_);
}

int LinuxDialUp::activeConnections()
{
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    if (socket_ < 0) subscribe();
    if (!watched_ || listing_) readPending();
    return static_cast<int>(active_.size());
}

// Asked by the share worker before each sleep: from then on its sleep reads
// the socket, and a question answers from the set alone.
int LinuxDialUp::noticeHandle()
{
    watched_ = socket_ >= 0;
    return socket_;
}

// A socket that failed is closed, so that the wait stops watching it and
// the next question subscribes afresh.
void LinuxDialUp::takeNotices()
{
    try {
        readPending();
    } catch (...) {
        failure_ = std::current_exception();
        close(socket_);
        socket_ = -1;
        watched_ = false;
    }
}

std::vector<std::string> LinuxDialUp::activeInterfaces()
{
    activeConnections();
    std::vector<std::string> names;
    for (const auto& [index, name] : active_) names.push_back(name);
    return names;
}

void LinuxDialUp::subscribe()
{
    const int fd = socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE);
    if (fd < 0) ThrowErrno("netlink socket");
    sockaddr_nl address{};
    address.nl_family = AF_NETLINK;
    address.nl_groups = RTMGRP_LINK;
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int error = errno;
        close(fd);
        ThrowErrno("netlink bind", error);
    }
    socket_ = fd;
    buffer_.resize(32768);
    askForEveryLink();
}

// Subscribed first, listed second: a change in between is in the queue
// behind the list, or already in the list.
void LinuxDialUp::askForEveryLink()
{
    struct {
        nlmsghdr header;
        ifinfomsg body;
    } request{};
    request.header.nlmsg_len = sizeof request;
    request.header.nlmsg_type = RTM_GETLINK;
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.body.ifi_family = AF_UNSPEC;
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    if (sendto(socket_, &request, sizeof request, 0, reinterpret_cast<const sockaddr*>(&kernel), sizeof kernel) < 0)
        ThrowErrno("RTM_GETLINK");
    active_.clear();
    listing_ = true;
}

// The kernel queues a link's notice to every listener in the same pass that
// changes the flags the interface ioctls report, so what is in the queue
// now is as fresh as asking: read until it is empty, and while a list is
// coming in, until its end.
void LinuxDialUp::readPending()
{
    for (;;) {
        const ssize_t got = recv(socket_, buffer_.data(), buffer_.size(), MSG_DONTWAIT);
        if (got < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                if (!listing_) return;
                // The kernel writes the list's next part as we read: it is never long in coming.
                pollfd wait{socket_, POLLIN, 0};
                if (poll(&wait, 1, 1000) == 0) ThrowErrno("RTM_GETLINK", ETIMEDOUT);
                continue;
            }
            if (errno == ENOBUFS) {
                // Notices were lost: drop the ones still queued, which are
                // older than the list asked for now, and start from that list.
                while (recv(socket_, buffer_.data(), buffer_.size(), MSG_DONTWAIT) > 0 || errno == ENOBUFS) {
                }
                askForEveryLink();
                continue;
            }
            ThrowErrno("netlink recv");
        }
        apply(buffer_.data(), static_cast<std::size_t>(got));
    }
}

void LinuxDialUp::apply(const char* data, std::size_t length)
{
    for (auto* header = reinterpret_cast<const nlmsghdr*>(data); NLMSG_OK(header, length);
         header = NLMSG_NEXT(header, length)) {
        if (header->nlmsg_type == NLMSG_DONE) {
            listing_ = false;
            continue;
        }
        if (header->nlmsg_type == NLMSG_ERROR) {
            const auto* error = static_cast<const nlmsgerr*>(NLMSG_DATA(header));
            if (error->error != 0) {
                listing_ = false;
                ThrowErrno("RTM_GETLINK", -error->error);
            }
            continue;
        }
        if (header->nlmsg_type != RTM_NEWLINK && header->nlmsg_type != RTM_DELLINK) continue;
        if (header->nlmsg_len < NLMSG_LENGTH(sizeof(ifinfomsg))) continue;
        const auto* link = static_cast<const ifinfomsg*>(NLMSG_DATA(header));
        std::string name;
        int rest = static_cast<int>(IFLA_PAYLOAD(header));
        for (const rtattr* a = IFLA_RTA(link); RTA_OK(a, rest); a = RTA_NEXT(a, rest))
            if (a->rta_type == IFLA_IFNAME) name = static_cast<const char*>(RTA_DATA(a));
        const auto known = active_.find(link->ifi_index);
        if (name.empty() && known != active_.end()) name = known->second;
        // IFF_RUNNING: the link has carrier, the line is really there.
        const unsigned wanted = IFF_UP | IFF_RUNNING;
        const bool dialUp = header->nlmsg_type == RTM_NEWLINK && (link->ifi_flags & wanted) == wanted &&
                            (link->ifi_type == ARPHRD_PPP || IsMobileBroadbandName(name));
        if (dialUp)
            active_[link->ifi_index] = name;
        else if (known != active_.end())
            active_.erase(known);
    }
}

}  // namespace kesrow
