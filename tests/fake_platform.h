// A platform that records every call in order, as one line each, and
// answers from a script. Unscripted questions get harmless defaults.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace kesrow::testing {

class FakePlatform : public TrayIcon,
                     public HostNameSource,
                     public Dialogs,
                     public PollTimer,
                     public Clock,
                     public Process,
                     public DialUp,
                     public UiThread {
public:
    // Recorded calls, e.g. "tray.add 2 <tooltip>", "msgbox 48 <title> | <prompt>".
    std::vector<std::string> calls;

    // Scripts; each answer is used once, then the default applies.
    std::deque<Answer> messageAnswers;        // default Ok
    std::deque<std::string> inputAnswers;     // default "" (Cancel)
    std::deque<int> dialUpCounts;             // default dialUpCount
    std::deque<std::string> hostNames;        // default hostName
    int dialUpCount = 0;
    std::string hostName = "PC01";
    bool otherCopyRunning = false;
    std::string cwd = "/tmp";
    LocalDateTime time{1998, 9, 3, 10, 15, 0};

    // Called with each recorded line; may throw to make that call fail.
    std::function<void(const std::string&)> onCall;

    Platform platform{*this, *this, *this, *this, *this, *this, *this, *this};

    // Posted tasks wait until the test runs them on its own thread.
    void post(std::function<void()> task) override {
        std::lock_guard lock(postedMutex_);
        posted_.push_back(std::move(task));
        postedChanged_.notify_all();
    }
    // Runs posted tasks, waiting for more, until done() holds; false when
    // it does not within the time given.
    bool runUntil(const std::function<bool()>& done,
                  std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            std::unique_lock lock(postedMutex_);
            if (!postedChanged_.wait_until(lock, deadline, [&] { return !posted_.empty(); })) return false;
            auto task = std::move(posted_.front());
            posted_.pop_front();
            lock.unlock();
            task();
        }
        return true;
    }

    void add(TrayImage image, const std::string& tip) override {
        record("tray.add " + std::to_string(static_cast<int>(image)) + " " + tip);
    }
    void remove() override { record("tray.remove"); }

    std::string localHostName() override {
        record("host");
        return next(hostNames, hostName);
    }

    // Styles are recorded as the Windows numbers users know: 0, 1, 48.
    Answer messageBox(const std::string& prompt, BoxStyle style, const std::string& title) override {
        const int number = style == BoxStyle::OkCancel ? 1 : style == BoxStyle::Exclamation ? 48 : 0;
        record("msgbox " + std::to_string(number) + " " + title + " | " + prompt);
        return next(messageAnswers, Answer::Ok);
    }
    void violationWarning(const std::string& prompt, const std::string& title) override {
        record("warning " + title + " | " + prompt);
    }
    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& def) override {
        record("input " + title + " [" + def + "] | " + prompt);
        return next(inputAnswers, std::string());
    }
    void beep() override { record("beep"); }

    void setEnabled(bool on) override { record(on ? "timer on" : "timer off"); }

    LocalDateTime now() override { record("now"); return time; }

    bool previousInstance() override { record("previousInstance"); return otherCopyRunning; }
    std::string currentDirectory() override { record("curdir"); return cwd; }
    void formUnloaded() override { record("formUnloaded"); }
    void end() override { record("end"); }

    int activeConnections() override {
        record("probe");
        return next(dialUpCounts, dialUpCount);
    }

    // The calls whose line starts with prefix.
    std::vector<std::string> callsStartingWith(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const auto& c : calls)
            if (c.rfind(prefix, 0) == 0) out.push_back(c);
        return out;
    }

private:
    std::mutex postedMutex_;
    std::condition_variable postedChanged_;
    std::deque<std::function<void()>> posted_;

    void record(const std::string& line) {
        calls.push_back(line);
        if (onCall) onCall(line);
    }
    template <class T>
    static T next(std::deque<T>& script, T fallback) {
        if (script.empty()) return fallback;
        T v = script.front();
        script.pop_front();
        return v;
    }
};

}  // namespace kesrow::testing
