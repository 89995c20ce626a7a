// The main form: the program's one long-lived object. It holds the server
// path and the holder last seen, and runs start-up, the poll cycle, claim
// and release, and the unload path.
#pragma once

#include <functional>
#include <string>

#include "platform/platform.h"

namespace kesrow {

inline constexpr int kTimerIntervalMs = 100;

class MainForm {
public:
    explicit MainForm(Platform& platform);

    // Start-up; the front end calls it once when the program starts.
    void Form_Load();
    // The unload path: remove the icon, release a line this computer holds.
    void Form_QueryUnload();
    void Form_Unload();
    // Unload the main form: the unload path once, then no form is left.
    void Unload();

    void f_end_Click();
    void MenuEnd_Click();
    void Timer1_Timer();

    // Claim and release.
    void setuzoku();
    void setudan();

    // Runs an event handler; a failure nothing caught is shown and ends the program.
    void RunEvent(const std::function<void()>& handler);

    const std::string& ServerPath() const { return serverPath_; }
    const std::string& CurrentHolder() const { return currentHolder_; }
    std::string StatusFile() const;
    std::string LogFile() const;
    Platform& platform() { return p_; }

private:
    void errsyori();
    void pollOnce();
    bool IsDialedUp();
    void warnViolation();
    void unloadQuietlyAndEnd();
    void rewriteStatus(const std::string& value);
    // The host name component's answer; the last one also names this
    // computer's temporary status file.
    std::string LocalHostName();
    using LogLine = std::string (*)(const std::string& host, const std::string& when);
    void appendLog(LogLine line, const char* marker = nullptr);

    Platform& p_;
    std::string serverPath_;
    std::string currentHolder_;
    std::string lastHostName_;
    // Start-up read pas.txt: the unload path has a status file to check,
    // even when the path read was empty (the working directory's).
    bool serverPathRead_ = false;
    // The violation warning is open: an unload meanwhile writes its line.
    bool violationOpen_ = false;
    bool unloaded_ = false;
    bool inTick_ = false;
    bool tickFailureShown_ = false;
};

}  // namespace kesrow
