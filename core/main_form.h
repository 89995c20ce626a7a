// The main form: the program's one long-lived object. It holds the server
// path and the holder last seen, and runs start-up, the poll cycle, claim
// and release, and the unload path.
//
// Threads, and what each one owns:
//   user-interface thread  Form_Load, the unload path's start, finishTick,
//                          every box and tray change; owns failureBoxOpen_,
//                          warningOpen_, freeNoticeDue_, released_.
//   share worker           Timer1_Timer (paced every 100 ms), claim and
//                          release, start-up's and the unload path's access
//                          to the share, the violation line; owns the
//                          presence fields. The only thread that asks the
//                          probe and the host name (it takes in their notices
//                          between ticks) and that touches the shared folder
//                          after start-up read pas.txt.
//   share watch            tells the user-interface thread of a job silent
//                          for silentLimit (showUnknown), and ends the wait
//                          of the unload path's release after kReleaseLimit.
// Under state_, shared by the first two: currentHolder_, holderNote_,
// unknownShown_, unloaded_, inTick_, tickFailureShown_. Results go from the
// worker to the user-interface thread only through UiThread::post.
#pragma once

#include <atomic>
#include <chrono>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "core/presence.h"
#include "core/share_worker.h"
#include "core/platform.h"

namespace kesrow {

inline constexpr int kTimerIntervalMs = 100;
// How long the share may go without answering a single access before the
// icon says that the line's state is unknown; a share that answers slowly
// is not unknown.
inline constexpr std::chrono::milliseconds kSilentLimit{10000};
// How long the unload path waits for its release before the copy ends without it.
inline constexpr std::chrono::milliseconds kReleaseLimit{5000};

// Tests give shorter ones.
struct FormTimings {
    std::chrono::milliseconds silentLimit = kSilentLimit;
    PresenceTimings presence = PresenceTimingsOfThisRun();
};

class MainForm {
public:
    // onUnloaded runs once the form has been unloaded and no form is left:
    // the program around it leaves its event loop then.
    explicit MainForm(Platform& platform, FormTimings timings = {}, std::function<void()> onUnloaded = {});

    // Start-up, once, as the program's first event.
    void Form_Load();
    // The unload path: remove the icon, release a line this computer holds.
    void Form_QueryUnload();
    void Form_Unload();
    // Unload the main form: the unload path once; once the release has run,
    // or kReleaseLimit has passed without it, no form is left and then runs.
    // A failed release is shown and ends the program.
    void Unload(std::function<void()> then = {});

    void f_end_Click();
    void MenuEnd_Click();
    // One tick of Timer1, on the share worker, which paces it: the
    // user-interface thread hears of it only when there is something to show.
    void Timer1_Timer();
    void PaceTimer1(bool enabled);
    // A tick falls due now, as if paced.
    void TickNow();

    // Claim and release.
    void setuzoku();
    void setudan();

    // Runs an event handler; a failure nothing caught is shown and ends the program.
    void RunEvent(const std::function<void()>& handler);
    // Runs job on the share worker after what is queued there, then done
    // as an event; a failure of job is handled as done's own.
    void RunOnShare(std::function<void()> job, std::function<void()> done);
    // No tick, access to the share or unload path is under way.
    bool Settled() const;

    const std::string& ServerPath() const { return serverPath_; }
    const std::string& CurrentHolder() const { return currentHolder_; }
    std::string StatusFile() const;
    std::string LogFile() const;
    Platform& platform() { return p_; }

private:
    // What one tick found on the worker, for the user-interface thread.
    struct TickOutcome {
        enum class Action { None, Change, Violation } action = Action::None;
        bool statusRead = false;
        std::string status;
        std::string holderNote;  // NoAnswerNote while the holder is gone
    };
    // What a tick starts from, as the user-interface thread last showed it.
    struct Shown {
        std::string holder;
        std::string holderNote;
        bool unknown = false;
    };

    void openStatusAndBePresent();
    void errsyori();
    void releaseIfHeld();
    bool startTick(Shown& shown);
    void pollOnce(TickOutcome& outcome, const Shown& shown);
    void finishTick(const TickOutcome& outcome, std::exception_ptr failure);
    void tickFailed(std::exception_ptr failure);
    void endTick();
    void showUnknown();
    bool IsDialedUp();
    void warnViolation();
    void unloadQuietlyAndEnd(int exitStatus = 0);
    void rewriteStatus(const std::string& value);
    // Presence, on the share worker. A presence that cannot be written
    // costs this copy only its judgement of others.
    // True once a refresh period.
    bool presenceDue();
    void keepPresence(const std::string& host, bool holding);
    void removePresence();
    // NoAnswerNote when holder is gone, else "".
    std::string holderNote(const std::string& holder);
    bool takeOver(const std::string& holder);
    // The host name component's answer, asked afresh.
    std::string LocalHostName();
    using LogLine = std::string (*)(const std::string& host, const std::string& when);
    // Returns the host name the line was written with.
    std::string appendLog(LogLine line, const char* marker = nullptr);

    Platform& p_;
    const std::function<void()> onUnloaded_;
    const PresenceTimings presenceTimings_;
    std::string serverPath_;
    // Share worker only: the host name this copy's presence was written
    // under, and the file server's time of that write.
    std::string presenceHost_;
    std::optional<files::FileTime> presenceWritten_;
    std::chrono::steady_clock::time_point presenceDue_{};
    bool released_ = false;
    // Written on the user-interface thread, read by paced ticks on the worker.
    mutable std::mutex state_;
    std::string currentHolder_;
    std::string holderNote_;
    // Start-up read pas.txt: the unload path has a status file to check,
    // even when the path read was empty (the working directory's).
    bool serverPathRead_ = false;
    // The violation warning is open: an unload meanwhile writes its line.
    // Set on the user-interface thread; the first of it and the unload path to take it records the line.
    std::atomic<bool> violationOpen_{false};
    bool unloaded_ = false;
    bool inTick_ = false;
    bool tickFailureShown_ = false;  // since the last tick that went well
    // The probe's failure is shown; cleared by the probe's next answer, on the worker.
    std::atomic<bool> dialUpFailureShown_{false};
    bool unknownShown_ = false;
    // User-interface thread only: a box of the poll cycle is open.
    bool failureBoxOpen_ = false;
    bool warningOpen_ = false;  // from the warning's first beep to its last
    bool freeNoticeDue_ = false;  // warned to hang up: told once when the line is free
    // Last: its thread runs jobs on this form, so it goes first.
    ShareWorker share_;
};

}  // namespace kesrow
