// SIGTERM, SIGINT and SIGHUP delivered into the event loop: the handler only
// writes a byte to a pipe, and a socket notifier runs the callback there.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace kesrow::qt {

class SignalPipe : public QObject {
public:
    explicit SignalPipe(std::function<void(int signal)> onSignal);
    ~SignalPipe() override;

private:
    void readSignals();

    std::function<void(int)> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace kesrow::qt
