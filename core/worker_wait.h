// How the share worker sleeps between ticks and jobs: on one set holding
// its own wake-up and the notices of the services whose answers it keeps
// (link changes, host-name changes), so that a notice is taken in before
// the next tick asks, and an idle tick costs the wait and the status read.
// One implementation per system (worker_wait_posix.cpp, worker_wait_win32.cpp).
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/platform.h"

namespace kesrow {

class WorkerWait {
public:
    using Steady = std::chrono::steady_clock;

    // sources live longer than this and are used by the sleeping thread only.
    explicit WorkerWait(std::vector<Notices*> sources);
    ~WorkerWait();
    WorkerWait(const WorkerWait&) = delete;
    WorkerWait& operator=(const WorkerWait&) = delete;

    // Any thread: the sleep under way, or the next one, returns at once.
    void wake();
    // Until wake(), a source's notice (taken in before this returns), or
    // until, when one is given.
    void sleep(std::optional<Steady::time_point> until);

private:
    std::vector<Notices*> sources_;
    // A descriptor on POSIX, an event's handle on Windows.
    std::intptr_t wakeHandle_;
};

}  // namespace kesrow
