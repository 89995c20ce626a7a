#include "core/share_worker.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>

namespace kesrow {

struct ShareWorker::State {
    explicit State(UiThread& ui) : ui(ui) {}
    UiThread& ui;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::pair<Job, Finish>> queue;
    bool busy = false;
    bool stopping = false;
};

ShareWorker::ShareWorker(UiThread& ui) : state_(std::make_shared<State>(ui))
{
    // The thread owns the state too, so that one left behind stays valid.
    thread_ = std::thread([state = state_] {
        std::unique_lock lock(state->mutex);
        for (;;) {
            state->changed.wait(lock, [&] { return state->stopping || !state->queue.empty(); });
            if (state->stopping) return;
            auto [job, finish] = std::move(state->queue.front());
            state->queue.pop_front();
            state->busy = true;
            lock.unlock();
            std::exception_ptr failure;
            try {
                job();
            } catch (...) {
                failure = std::current_exception();
            }
            lock.lock();
            state->busy = false;
            if (state->stopping) return;
            finish(failure);
            state->changed.notify_all();
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
    if (watchdog_.joinable()) watchdog_.join();
    if (stuck)
        thread_.detach();
    else
        thread_.join();
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
        state->ui.post([this, done, failure] {
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
        finish(failure);
    });
    if (watchdog_.joinable()) watchdog_.join();
    watchdog_ = std::thread([state = state_, finish, finished, limit] {
        std::unique_lock lock(state->mutex);
        const bool ended = state->changed.wait_for(lock, limit, [&] { return finished->load() || state->stopping; });
        if (!ended) finish(std::make_exception_ptr(ShareTimeout("the shared folder did not answer in time")));
    });
}

}  // namespace kesrow
