#include "core/share_worker.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>

namespace kesrow {

using Steady = std::chrono::steady_clock;

struct ShareWorker::State {
    explicit State(UiThread& ui) : ui(ui) {}
    UiThread& ui;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::pair<Job, Finish>> queue;
    bool stopping = false;
    // What runs now, since when, and whether its silence has been told.
    bool busy = false;
    Steady::time_point busySince;
    bool silenceTold = false;
    // The pace, when one is set.
    std::chrono::milliseconds interval{0};
    Job onTick;
    Steady::time_point nextTick;
};

ShareWorker::ShareWorker(UiThread& ui, std::chrono::milliseconds silentAfter, std::function<void()> onSilent)
    : state_(std::make_shared<State>(ui))
{
    // The threads own the state too, so that one left behind stays valid.
    thread_ = std::thread([state = state_] {
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
        for (;;) {
            if (state->stopping) return;
            const bool paced = state->interval.count() > 0;
            const auto now = Steady::now();
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
            } else if (paced && now >= state->nextTick) {
                Job tick = state->onTick;
                busyFor(now, tick);
            } else {
                if (paced)
                    state->changed.wait_until(lock, state->nextTick);
                else
                    state->changed.wait(lock);
                continue;
            }
            // Ticks that fell due meanwhile are skipped.
            if (state->interval.count() > 0 && state->nextTick <= now) {
                const auto after = Steady::now();
                while (state->nextTick <= after) state->nextTick += state->interval;
            }
        }
    });
    // A job that has run for silentAfter is told once, then. Idle, this
    // looks once per silentAfter: a job begun since is then not yet due.
    watch_ = std::thread([state = state_, silentAfter, onSilent = std::move(onSilent)] {
        std::unique_lock lock(state->mutex);
        while (!state->stopping) {
            if (!state->busy || state->silenceTold) {
                state->changed.wait_for(lock, silentAfter);
                continue;
            }
            const auto due = state->busySince + silentAfter;
            if (Steady::now() < due) {
                state->changed.wait_until(lock, due);
                continue;
            }
            state->silenceTold = true;
            state->ui.post(onSilent);
        }
    });
}

ShareWorker::~ShareWorker()
{
    bool stuck;
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
        stuck = state_->busy;
    }
    state_->changed.notify_all();
    watch_.join();
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

void ShareWorker::pace(std::chrono::milliseconds interval, Job onTick)
{
    {
        std::lock_guard lock(state_->mutex);
        state_->interval = interval;
        state_->onTick = std::move(onTick);
        state_->nextTick = Steady::now() + interval;
    }
    state_->changed.notify_all();
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
    state_->changed.notify_all();
}

void ShareWorker::run(Job job, Done done)
{
    enqueue(std::move(job), finisher(std::move(done)));
}

void ShareWorker::runWithin(std::chrono::milliseconds limit, Job job, Done done)
{
    auto finish = finisher(std::move(done));
    auto finished = std::make_shared<std::atomic<bool>>(false);
    enqueue(std::move(job), [finish, finished](std::exception_ptr failure) {
        finished->store(true);
        finish(std::move(failure));
    });
    // On its own: the state keeps it valid, and once the worker stops it ends without a word.
    std::thread([state = state_, finish, finished, limit] {
        std::unique_lock lock(state->mutex);
        const bool ended = state->changed.wait_for(lock, limit, [&] { return finished->load() || state->stopping; });
        if (!ended) finish(std::make_exception_ptr(ShareTimeout("the shared folder did not answer in time")));
    }).detach();
}

}  // namespace kesrow
