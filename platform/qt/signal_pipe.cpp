#include "platform/qt/signal_pipe.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace kesrow::qt {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
int pipeFds[2] = {-1, -1};

void OnSignal(int signal)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] ssize_t n = write(pipeFds[1], &byte, 1);
    errno = saved;
}

}  // namespace

SignalPipe::SignalPipe(std::function<void(int)> onSignal) : onSignal_(std::move(onSignal))
{
    if (pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::system_error(errno, std::generic_category(), "signal pipe");
    notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { readSignals(); });

    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals) sigaction(signal, &action, nullptr);
}

SignalPipe::~SignalPipe()
{
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    for (int signal : kSignals) sigaction(signal, &action, nullptr);
    close(pipeFds[0]);
    close(pipeFds[1]);
    pipeFds[0] = pipeFds[1] = -1;
}

void SignalPipe::readSignals()
{
    unsigned char byte;
    while (read(pipeFds[0], &byte, 1) == 1) onSignal_(byte);
}

}  // namespace kesrow::qt
