#include "platform/console/console_loop.h"

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <system_error>

namespace kesrow {
namespace {

[[noreturn]] void Fail(const char* what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

std::int64_t MonotonicMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

}  // namespace

ConsoleLoop::ConsoleLoop()
{
    postedFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (postedFd_ < 0)
        Fail("eventfd");
}

ConsoleLoop::~ConsoleLoop()
{
    close(postedFd_);
}

void ConsoleLoop::post(std::function<void()> task)
{
    {
        std::lock_guard lock(postedMutex_);
        posted_.push_back(std::move(task));
    }
    const std::uint64_t one = 1;
    (void)!write(postedFd_, &one, sizeof one);
}

void ConsoleLoop::runPosted()
{
    std::uint64_t count = 0;
    (void)!read(postedFd_, &count, sizeof count);
    for (;;) {
        std::function<void()> task;
        {
            std::lock_guard lock(postedMutex_);
            if (posted_.empty())
                return;
            task = std::move(posted_.front());
            posted_.pop_front();
        }
        task();
    }
}

void ConsoleLoop::run()
{
    while (!quit_) {
        pollfd fds[2] = {{stopSignals_.fd(), POLLIN, 0}, {postedFd_, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            Fail("poll");
        }
        if ((fds[0].revents & POLLIN) && stopSignals_.take()) {
            if (onSignal)
                onSignal();
            continue;
        }
        if (fds[1].revents & POLLIN)
            runPosted();
    }
}

void ConsoleLoop::signalInsideWait()
{
    if (stopSignals_.take()) {
        // The handler's unload path finishes through posted tasks.
        if (onSignal)
            onSignal();
        while (!quit_) {
            pollfd fd{postedFd_, POLLIN, 0};
            if (poll(&fd, 1, -1) > 0)
                runPosted();
        }
        std::fflush(stdout);
        std::fflush(stderr);
        _exit(0);
    }
}

void ConsoleLoop::sleepMs(int ms)
{
    const std::int64_t deadline = MonotonicMs() + ms;
    for (std::int64_t left = ms; left > 0; left = deadline - MonotonicMs()) {
        pollfd fds[2] = {{stopSignals_.fd(), POLLIN, 0}, {postedFd_, POLLIN, 0}};
        int n = poll(fds, 2, int(left));
        if (n < 0 && errno != EINTR)
            Fail("poll");
        if (n > 0 && (fds[0].revents & POLLIN))
            signalInsideWait();
        else if (n > 0 && (fds[1].revents & POLLIN))
            runPosted();  // a box holds nothing: the poll cycle goes on
    }
}

bool ConsoleLoop::readLine(std::string& line)
{
    for (;;) {
        auto newline = pending_.find('\n');
        if (newline != std::string::npos) {
            line = pending_.substr(0, newline);
            pending_.erase(0, newline + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return true;
        }
        if (inputEnded_) {
            // A last line without its line end still counts as a line.
            if (pending_.empty())
                return false;
            line.swap(pending_);
            pending_.clear();
            return true;
        }
        pollfd fds[3] = {{stopSignals_.fd(), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}, {postedFd_, POLLIN, 0}};
        if (poll(fds, 3, -1) < 0) {
            if (errno == EINTR)
                continue;
            Fail("poll");
        }
        if (fds[0].revents & POLLIN) {
            signalInsideWait();
            continue;
        }
        if (fds[2].revents & POLLIN)
            runPosted();  // a box waiting for its answer holds nothing either
        if (fds[1].revents) {
            char buffer[4096];
            ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
            if (n > 0)
                pending_.append(buffer, std::size_t(n));
            else if (n == 0 || errno != EINTR)
                inputEnded_ = true;
        }
    }
}

}  // namespace kesrow
