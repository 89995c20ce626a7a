// The console copy's user-interface thread: a poll() over a signalfd for
// the stop signals, an eventfd for tasks posted from the share worker (which
// paces Timer1 itself) and, inside boxes, standard input.
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "core/platform.h"
#include "platform/linux/stop_signals.h"

namespace kesrow {

class ConsoleLoop : public UiThread {
public:
    // Made before any thread: the stop signals arrive only through the loop.
    ConsoleLoop();
    ~ConsoleLoop() override;
    ConsoleLoop(const ConsoleLoop&) = delete;
    ConsoleLoop& operator=(const ConsoleLoop&) = delete;

    // Runs on a stop signal. Inside a wait (a box) the handler must not
    // return into the form: when it does, the process ends.
    std::function<void()> onSignal;

    void post(std::function<void()> task) override;
    // Delivers signals and posted tasks until quit().
    void run();
    void quit() { quit_ = true; }

    // Waits for the given time, as a box stays open: posted tasks run
    // meanwhile and signals still count.
    void sleepMs(int ms);
    // One line of standard input without its line end; false at its end.
    // Posted tasks run meanwhile; signals still count.
    bool readLine(std::string& line);

private:
    void signalInsideWait();
    void runPosted();

    StopSignals stopSignals_;
    int postedFd_ = -1;
    std::mutex postedMutex_;
    std::deque<std::function<void()>> posted_;
    bool quit_ = false;
    bool inputEnded_ = false;
    std::string pending_;  // bytes read from standard input past the last line
};

}  // namespace kesrow
