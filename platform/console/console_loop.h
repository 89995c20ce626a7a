// The console copy's one thread: a poll() over a signalfd for the stop
// signals, a timerfd for Timer1 and, inside boxes, standard input.
#pragma once

#include <functional>
#include <string>

namespace kesrow {

class ConsoleLoop {
public:
    // Blocks SIGTERM, SIGINT and SIGHUP so that they arrive only through the
    // loop, and ignores SIGPIPE so a closed standard output cannot kill us.
    ConsoleLoop();
    ~ConsoleLoop();
    ConsoleLoop(const ConsoleLoop&) = delete;
    ConsoleLoop& operator=(const ConsoleLoop&) = delete;

    // Runs on a stop signal. Inside a wait (a box) the handler must not
    // return into the form: when it does, the process ends.
    std::function<void()> onSignal;
    std::function<void()> onTick;

    void setTimer(bool enabled, int intervalMs);
    // Delivers ticks and signals until quit().
    void run();
    void quit() { quit_ = true; }

    // Waits for the given time with ticks suspended; signals still count.
    void sleepMs(int ms);
    // One line of standard input without its line end; false at its end.
    // Ticks are suspended meanwhile; signals still count.
    bool readLine(std::string& line);

private:
    bool takeSignal();
    void signalInsideWait();

    int signalFd_ = -1;
    int timerFd_ = -1;
    bool quit_ = false;
    bool inputEnded_ = false;
    std::string pending_;  // bytes read from standard input past the last line
};

}  // namespace kesrow
