#include "core/worker_wait.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

namespace kesrow {

WorkerWait::WorkerWait(std::vector<Notices*> sources) : sources_(std::move(sources))
{
    const int fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (fd < 0) throw std::system_error(errno, std::generic_category(), "eventfd");
    wakeHandle_ = fd;
}

WorkerWait::~WorkerWait()
{
    close(int(wakeHandle_));
}

void WorkerWait::wake()
{
    const std::uint64_t one = 1;
    (void)!write(int(wakeHandle_), &one, sizeof one);
}

void WorkerWait::sleep(std::optional<Steady::time_point> until)
{
    // A source's descriptor may come and go (a socket opened at its first
    // question, closed after a failure): asked afresh each time.
    pollfd fds[8];
    Notices* watched[8];
    nfds_t count = 0;
    fds[count++] = {int(wakeHandle_), POLLIN, 0};
    for (Notices* source : sources_) {
        const int fd = source->noticeHandle();
        if (fd < 0 || count == std::size(fds)) continue;
        watched[count] = source;
        // POLLPRI: a file in /proc/sys tells its change so, and is always readable.
        fds[count++] = {fd, short(source->noticeEvents() == Notices::Events::Priority ? POLLPRI : POLLIN), 0};
    }
    timespec timeout{};
    if (until) {
        const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(*until - Steady::now()).count();
        if (left > 0) timeout = {time_t(left / 1000000000), long(left % 1000000000)};
    }
    if (ppoll(fds, count, until ? &timeout : nullptr, nullptr) <= 0) return;
    if (fds[0].revents) {
        std::uint64_t counted;
        (void)!read(fds[0].fd, &counted, sizeof counted);
    }
    for (nfds_t i = 1; i < count; ++i)
        if (fds[i].revents) watched[i]->takeNotices();
}

}  // namespace kesrow
