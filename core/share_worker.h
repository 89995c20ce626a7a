// The one thread that touches the shared folder. A file server that stalls
// blocks it, never the user-interface thread. It paces the poll timer
// itself, so that an idle tick wakes no thread but this one, and between
// ticks it takes in the notices of the services it asks (WorkerWait). A
// second thread watches it: it tells a job that has been silent too long,
// and ends the wait of a job given a time limit.
#pragma once

#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "core/platform.h"

namespace kesrow {

// A job did not finish within the time it was given.
class ShareTimeout : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ShareWorker {
public:
    using Job = std::function<void()>;
    // Runs on the user-interface thread; failure is what the job threw, or null.
    using Done = std::function<void(std::exception_ptr failure)>;

    // onSilent is posted to the user-interface thread once for each job or
    // tick that has run for silentAfter without finishing. onTick is the
    // tick that pace and tickNow run on the worker; the notices of sources
    // are taken in on the worker between ticks and jobs.
    ShareWorker(UiThread& ui, std::chrono::milliseconds silentAfter, std::function<void()> onSilent, Job onTick,
                std::vector<Notices*> sources = {});
    // A thread stuck in the share is left behind and hands nothing back.
    ~ShareWorker();
    ShareWorker(const ShareWorker&) = delete;
    ShareWorker& operator=(const ShareWorker&) = delete;

    // Runs job after the jobs given before it, then done.
    void run(Job job, Done done);
    // As run, but when job has not finished within limit (counted from now,
    // waiting behind earlier jobs included), done gets a ShareTimeout then
    // and the job's own end is dropped.
    void runWithin(std::chrono::milliseconds limit, Job job, Done done);
    // Runs onTick every interval while no job is waiting; ticks that fall
    // due while a job or tick runs are skipped. Zero stops it.
    void pace(std::chrono::milliseconds interval);
    // One tick falls due now: it runs once no job waits and the job or
    // tick under way has ended; ticks asked for meanwhile are one.
    void tickNow();
    // Nothing queued, running or due at once.
    bool idle() const;
    // From a job or tick: task runs on the user-interface thread, unless the
    // worker is being destroyed.
    void post(std::function<void()> task);

    // Jobs given whose done has not run yet; user-interface thread only.
    int outstanding() const { return outstanding_; }

private:
    struct State;
    using Finish = std::function<void(std::exception_ptr)>;
    Finish finisher(Done done);
    static void Work(const std::shared_ptr<State>& state);
    static void Watch(const std::shared_ptr<State>& state, std::chrono::milliseconds silentAfter,
                      const std::function<void()>& onSilent);
    void enqueue(Job job, Finish finish);

    std::shared_ptr<State> state_;
    std::thread thread_;
    std::thread watch_;  // silence and time limits
    int outstanding_ = 0;
};

}  // namespace kesrow
