#include "core/share_worker.h"

#include "core/worker_wait.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace kesrow {

using Steady = std::chrono::steady_clock;

struct ShareWorker::State {
    State(UiThread& ui, Job onTick, std::vector<Notices*> sources)
        : ui(ui), onTick(std::move(onTick)), wait(std::move(sources))
    {
    }
    UiThread& ui;
    const Job onTick;
    mutable std::mutex mutex;
    WorkerWait wait;                  // the worker's
    std::condition_variable changed;  // the watch's
    std::deque<std::pair<Job, Finish>> queue;
    bool stopping = false;
    // What runs now, since when, and whether its silence has been told.
    bool busy = false;
    Steady::time_point busySince;
    bool silenceTold = false;
    // The pace, when one is set, and a tick asked for at once.
    std::chrono::milliseconds interval{0};
    Steady::time_point nextTick;
    bool tickAsked = false;
    // Jobs given a time limit, until they finish or it passes.
    struct Deadline {
        Steady::time_point at;
        Finish finish;
        std::shared_ptr<std::atomic<bool>> finished;
    };
    std::vector<Deadline> deadlines;
};

ShareWorker::ShareWorker(UiThread& ui, std::chrono::milliseconds silentAfter, std::function<void()> onSilent, Job onTick,
                         std::vector<Notices*> sources)
    : state_(std::make_shared<State>(ui, std::move(onTick), std::move(sources)))
{
    // The threads own the state too, so that one left behind stays valid.
    thread_ = std::thread([state = state_] { Work(state); });
    watch_ = std::thread([state = state_, silentAfter, onSilent = std::move(onSilent)] { Watch(state, silentAfter, onSilent); });
}

// Tells a job or tick once, at silentAfter from its start. Idle, it looks
// once per silentAfter: a job begun since is then not yet due, and the
// worker starts its jobs and ticks without waking this thread.
void ShareWorker::Watch(const std::shared_ptr<State>& state, std::chrono::milliseconds silentAfter,
                        const std::function<void()>& onSilent)
{
    std::unique_lock lock(state->mutex);
    while (!state->stopping) {
        const auto now = Steady::now();
        auto wake = now + silentAfter;
        if (state->busy && !state->silenceTold) {
            if (now >= state->busySince + silentAfter) {
                state->silenceTold = true;
                state->ui.post(onSilent);
            } else {
                wake = state->busySince + silentAfter;
            }
        }
        auto& deadlines = state->deadlines;
        for (auto d = deadlines.begin(); d != deadlines.end();) {
            if (!d->finished->load() && now < d->at) {
                wake = std::min(wake, d->at);
                ++d;
                continue;
            }
            // Passed: done hears of the timeout now, and the job's own end is dropped.
            if (!d->finished->load()) d->finish(std::make_exception_ptr(ShareTimeout("the shared folder did not answer in time")));
            d = deadlines.erase(d);
        }
        state->changed.wait_until(lock, wake);
    }
}

// Jobs first, then a tick that has fallen due; else it sleeps.
void ShareWorker::Work(const std::shared_ptr<State>& state)
{
    std::unique_lock lock(state->mutex);
    const auto busyFor = [&](Steady::time_point since, auto&& work) {
        state->busy = true;
        state->busySince = since;
        state->silenceTold = false;
        lock.unlock();
        work();
        lock.lock();
        state->busy = false;
    };
    // Notices are taken in by the sleep: a job or tick that follows
    // another at once polls for them first, so that it never asks with
    // answers older than its start.
    bool noticesTaken = false;
    for (;;) {
        if (state->stopping) return;
        const bool paced = state->interval.count() > 0;
        const auto now = Steady::now();
        const bool due = !state->queue.empty() || state->tickAsked || (paced && now >= state->nextTick);
        if (!due || !noticesTaken) {
            const std::optional<Steady::time_point> until =
                due ? std::optional(now) : paced ? std::optional(state->nextTick) : std::nullopt;
            lock.unlock();
            state->wait.sleep(until);
            lock.lock();
            noticesTaken = true;
            continue;
        }
        noticesTaken = false;
        if (!state->queue.empty()) {
            auto [job, finish] = std::move(state->queue.front());
            state->queue.pop_front();
            std::exception_ptr failure;
            busyFor(now, [&] {
                try {
                    job();
                } catch (...) {
                    failure = std::current_exception();
                }
            });
            if (state->stopping) return;
            finish(std::move(failure));
            state->changed.notify_all();
        } else {
            state->tickAsked = false;
            busyFor(now, state->onTick);
        }
        // The next tick an interval after this one's start; those that fell due meanwhile are skipped.
        if (state->interval.count() > 0 && state->nextTick <= now) {
            const auto after = Steady::now();
            while (state->nextTick <= after) state->nextTick += state->interval;
        }
    }
}

ShareWorker::~ShareWorker()
{
    bool stuck;
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
        stuck = state_->busy;
    }
    state_->wait.wake();
    state_->changed.notify_all();
    watch_.join();
    {
        // Their dones hold the state: kept, they would keep it for ever.
        std::lock_guard lock(state_->mutex);
        state_->deadlines.clear();
    }
    if (stuck)
        thread_.detach();
    else
        thread_.join();
}

void ShareWorker::post(std::function<void()> task)
{
    std::lock_guard lock(state_->mutex);
    if (!state_->stopping) state_->ui.post(std::move(task));
}

void ShareWorker::pace(std::chrono::milliseconds interval)
{
    {
        std::lock_guard lock(state_->mutex);
        state_->interval = interval;
        state_->nextTick = Steady::now() + interval;
    }
    state_->wait.wake();
}

void ShareWorker::tickNow()
{
    {
        std::lock_guard lock(state_->mutex);
        state_->tickAsked = true;
    }
    state_->wait.wake();
}

bool ShareWorker::idle() const
{
    std::lock_guard lock(state_->mutex);
    return state_->queue.empty() && !state_->busy && !state_->tickAsked;
}

// Hands done to the user-interface thread once, under the state's lock,
// so that nothing is posted after the worker has been told to stop.
ShareWorker::Finish ShareWorker::finisher(Done done)
{
    ++outstanding_;
    auto once = std::make_shared<bool>(false);
    return [this, state = state_, once, done = std::move(done)](std::exception_ptr failure) {
        if (*once || state->stopping) return;
        *once = true;
        // The failure moves along: its last owner is the user-interface thread.
        state->ui.post([this, done, failure = std::move(failure)] {
            --outstanding_;
            done(failure);
        });
    };
}

void ShareWorker::enqueue(Job job, Finish finish)
{
    {
        std::lock_guard lock(state_->mutex);
        state_->queue.emplace_back(std::move(job), std::move(finish));
    }
    state_->wait.wake();
}

void ShareWorker::run(Job job, Done done)
{
    enqueue(std::move(job), finisher(std::move(done)));
}

void ShareWorker::runWithin(std::chrono::milliseconds limit, Job job, Done done)
{
    auto finish = finisher(std::move(done));
    auto finished = std::make_shared<std::atomic<bool>>(false);
    {
        std::lock_guard lock(state_->mutex);
        state_->deadlines.push_back({Steady::now() + limit, finish, finished});
    }
    state_->changed.notify_all();
    enqueue(std::move(job), [finish, finished](std::exception_ptr failure) {
        finished->store(true);
        finish(std::move(failure));
    });
}

}  // namespace kesrow
