// The floor an idle copy is measured against: a loop woken every 100 ms
// that only opens, reads and closes the status file.
//
//   status_floor <status file>
#include <fcntl.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: status_floor <status file>\n", stderr);
        return 2;
    }
    const char* status = argv[1];
    const int timer = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC);
    itimerspec every{{0, 100000000}, {0, 100000000}};
    if (timer < 0 || timerfd_settime(timer, 0, &every, nullptr) != 0) {
        std::perror("timerfd");
        return 1;
    }
    char buffer[8192];
    for (;;) {
        std::uint64_t expirations;
        if (read(timer, &expirations, sizeof expirations) < 0) return 1;
        const int fd = open(status, O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        (void)!read(fd, buffer, sizeof buffer);
        close(fd);
    }
}
