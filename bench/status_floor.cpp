// The floor an idle copy is measured against: a loop woken every 100 ms
// that only opens, reads and closes the status file. With --questions it
// also asks what an unchanged tick must ask: three non-blocking reads of a
// link-notice socket and two host-name reads, in the tick's order.
//
//   status_floor [--questions] <status file>
#include <fcntl.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    const bool questions = argc == 3 && std::strcmp(argv[1], "--questions") == 0;
    if (argc != 2 && !questions) {
        std::fputs("usage: status_floor [--questions] <status file>\n", stderr);
        return 2;
    }
    const char* status = argv[argc - 1];
    const int timer = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC);
    itimerspec every{{0, 100000000}, {0, 100000000}};
    if (timer < 0 || timerfd_settime(timer, 0, &every, nullptr) != 0) {
        std::perror("timerfd");
        return 1;
    }
    int notices = -1;
    if (questions) {
        notices = socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
        sockaddr_nl address{};
        address.nl_family = AF_NETLINK;
        address.nl_groups = RTMGRP_LINK;
        if (notices < 0 || bind(notices, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            std::perror("netlink");
            return 1;
        }
    }
    char buffer[8192];
    for (;;) {
        std::uint64_t expirations;
        if (read(timer, &expirations, sizeof expirations) < 0) return 1;
        const int fd = open(status, O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        (void)!read(fd, buffer, sizeof buffer);
        close(fd);
        if (!questions) continue;
        char host[HOST_NAME_MAX + 1];
        for (int i = 0; i < 3; ++i) {
            while (recv(notices, buffer, sizeof buffer, MSG_DONTWAIT) > 0) {
            }
            if (i < 2) gethostname(host, sizeof host);
        }
    }
}
