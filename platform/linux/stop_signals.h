// SIGTERM, SIGINT and SIGHUP, the requests to end, as events on one
// descriptor that the event loop watches (the desktop's and the console
// copy's alike). They are blocked in every thread, so the object must be
// made before any thread starts; threads inherit the block. SIGPIPE is
// ignored, so that a closed standard output cannot end the program.
#pragma once

namespace kesrow {

class StopSignals {
public:
    // Throws std::system_error when the signals cannot be taken over.
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // Readable while a stop signal waits.
    int fd() const { return fd_; }
    // Takes one waiting stop signal; false when none waits.
    bool take();

private:
    int fd_ = -1;
};

}  // namespace kesrow
