#include "platform/linux/stop_signals.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace kesrow {
namespace {

sigset_t Signals()
{
    sigset_t set;
    sigemptyset(&set);
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&set, signal);
    return set;
}

}  // namespace

StopSignals::StopSignals()
{
    const sigset_t set = Signals();
    if (pthread_sigmask(SIG_BLOCK, &set, nullptr) != 0 || (fd_ = signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK)) < 0)
        throw std::system_error(errno, std::generic_category(), "stop signals");
    signal(SIGPIPE, SIG_IGN);
}

StopSignals::~StopSignals()
{
    close(fd_);
}

bool StopSignals::take()
{
    signalfd_siginfo info{};
    return read(fd_, &info, sizeof info) == ssize_t(sizeof info);
}

}  // namespace kesrow
