#include "core/main_form.h"

#include <utility>

#include "core/server_path.h"
#include "core/shared_files.h"
#include "core/text_file.h"
#include "core/texts.h"

namespace kesrow {

MainForm::MainForm(Platform& platform, FormTimings timings, std::function<void()> onUnloaded)
    : p_(platform), onUnloaded_(std::move(onUnloaded)), presenceTimings_(timings.presence), share_(platform.uiThread, timings.silentLimit, [this] {
          try {
              if (!unloaded_) showUnknown();
          } catch (const std::exception&) {
              // The icon stays as it was; the tick reports what follows.
          }
      }, [this] { Timer1_Timer(); }, {&platform.dialUp, &platform.host})
{
}

std::string MainForm::StatusFile() const { return serverPath_ + kStatusFileName; }
std::string MainForm::LogFile() const { return serverPath_ + kLogFileName; }

void MainForm::Form_Load()
{
    if (p_.process.previousInstance()) {
        p_.dialogs.messageBox(kAlreadyRunning, BoxStyle::Exclamation, kLoadErrorTitle);
        unloadQuietlyAndEnd();
        return;
    }
    try {
        TextFile pas(ServerPathFileToRead(p_.process), OpenMode::Input, {.links = files::Links::Follow});
        serverPath_ = pas.ReadField();
        serverPathRead_ = true;
        pas.Close();
    } catch (const std::exception&) {
        return errsyori();
    }
    // The icon is up at once; until the share has answered, the line's
    // state is unknown. A share that does not answer is waited for, never
    // taken for a failure: only a failed open goes to the recovery.
    p_.tray.show(TrayImage::Unknown, kShareUnknownTooltip);
    share_.run([this] { openStatusAndBePresent(); },
               [this](std::exception_ptr failure) {
                   if (unloaded_) return;
                   try {
                       if (failure) std::rethrow_exception(failure);
                       p_.tray.show(TrayImage::Normal, kLineFreeTooltip);
                       // Last, so that no tick runs while a failed start-up is recovering.
                       p_.timer.setEnabled(true);
                   } catch (const std::exception&) {
                       p_.tray.hide();
                       errsyori();
                   }
               });
}

// Start-up's access to the share: whether the status file opens is what
// matters; then this copy is present, holding the line when it names us.
void MainForm::openStatusAndBePresent()
{
    TextFile status(StatusFile(), OpenMode::Input);
    const std::string holder = status.AtEnd() ? std::string() : status.ReadField();
    status.Close();
    presenceDue();
    try {
        const std::string host = LocalHostName();
        keepPresence(host, AsReadBack(host) == holder);
    } catch (const std::exception&) {
        // Present from the first tick that asks the host name again.
    }
}

void MainForm::errsyori()
{
    try {
        if (p_.dialogs.messageBox(kRecoveryQuestion, BoxStyle::OkCancel, kTitle) == Answer::Ok) {
            const std::string stored = StoredServerPath(ServerPathFileToRead(p_.process));
            const std::string answer = PromptServerPath(p_.dialogs, stored);
            if (!answer.empty()) {
                StoreServerPath(ServerPathFile(p_.process.currentDirectory()), answer);
                p_.dialogs.messageBox(kServerPathChanged, BoxStyle::OkOnly, kTitle);
            }
        }
    } catch (const std::exception& e) {
        // Say why and end rather than linger as a copy that holds the
        // instance lock and does nothing.
        p_.dialogs.messageBox(kServerPathNotChanged + std::string(e.what()), BoxStyle::Exclamation, kTitle);
        return unloadQuietlyAndEnd(kFailed);
    }
    unloadQuietlyAndEnd();
}

// Start-up's own end, before any tick: it waits on the share as start-up
// does. A failed release check is not reported; the process ends all the same.
void MainForm::unloadQuietlyAndEnd(int exitStatus)
{
    if (!unloaded_) {
        {
            std::lock_guard lock(state_);
            unloaded_ = true;
        }
        released_ = true;
        try {
            Form_QueryUnload();
            Form_Unload();
            if (onUnloaded_) onUnloaded_();
        } catch (const std::exception&) {
        }
    }
    p_.process.end(exitStatus);
}

void MainForm::Form_QueryUnload()
{
    p_.tray.hide();
}

void MainForm::Form_Unload()
{
    // Ended while the warning was open (a stop signal, logout): the
    // violation is recorded now, at the time of the unload.
    if (violationOpen_.exchange(false)) appendLog(ViolationMessage, kViolationMarker);
    // A second copy, or a start-up that never read pas.txt, has no status
    // file of ours to look at.
    if (!serverPathRead_) return;
    releaseIfHeld();
    removePresence();
}

void MainForm::releaseIfHeld()
{
    TextFile status(StatusFile(), OpenMode::Input);
    if (status.AtEnd()) return;
    const std::string holder = status.ReadField();
    status.Close();
    if (AsReadBack(LocalHostName()) == holder) setudan();
}

void MainForm::Unload(std::function<void()> then)
{
    if (unloaded_) return;
    {
        std::lock_guard lock(state_);
        unloaded_ = true;
    }
    share_.pace(std::chrono::milliseconds(0));
    Form_QueryUnload();
    // A share that does not answer keeps the claim, as after a crash; this
    // computer's next start releases it.
    share_.runWithin(kReleaseLimit, [this] { Form_Unload(); }, [this, then](std::exception_ptr failure) {
        released_ = true;
        try {
            if (failure) std::rethrow_exception(failure);
        } catch (const ShareTimeout&) {
            failure = nullptr;
        } catch (...) {
        }
        // A failed release ends the program as any failure nothing caught.
        if (failure) return RunEvent([&] { std::rethrow_exception(failure); });
        if (onUnloaded_) onUnloaded_();
        if (then) then();
    });
}

void MainForm::f_end_Click()
{
    Unload([this] { p_.process.end(); });
}

void MainForm::MenuEnd_Click()
{
    Unload();
}

void MainForm::setuzoku()
{
    rewriteStatus(LocalHostName());
    keepPresence(appendLog(ConnectLine), true);
}

void MainForm::setudan()
{
    rewriteStatus(kFreeLine);
    keepPresence(appendLog(DisconnectLine), false);
}

std::string MainForm::LocalHostName()
{
    return p_.host.localHostName();
}

// Written over in place: the file keeps its identity, owner and access
// rules, the folder need not be writable, and a reader never finds it empty.
// One that vanished is made again, like the log.
void MainForm::rewriteStatus(const std::string& value)
{
    TextFile status(StatusFile(), OpenMode::Output, {.likeFile = LogFile()});
    status.WriteLine({FieldText(value)});
    status.Close();
}

std::string MainForm::appendLog(LogLine line, const char* marker)
{
    // A log this copy creates takes the status file's access, which the
    // office's admin set, so that every computer can append to it.
    TextFile log(LogFile(), OpenMode::Append, {.likeFile = StatusFile()});
    // The host name and the time are taken once the log is open. A line
    // holding a comma is one quoted field, so that it is read back whole.
    const std::string host = LocalHostName();
    log.WriteLine({FieldText(std::string(marker ? marker : "") + line(host, DateTimeText(p_.clock.now())))});
    log.Close();
    return host;
}

void MainForm::RunEvent(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        p_.dialogs.messageBox(kProgramEnds + std::string(e.what()), BoxStyle::Exclamation, kTitle);
        p_.process.end(kFailed);
    }
}

void MainForm::RunOnShare(std::function<void()> job, std::function<void()> done)
{
    share_.run(std::move(job), [this, done](std::exception_ptr failure) {
        RunEvent([&] {
            if (failure) std::rethrow_exception(failure);
            done();
        });
    });
}

bool MainForm::Settled() const
{
    std::lock_guard lock(state_);
    return !inTick_ && share_.outstanding() == 0 && share_.idle() && (!unloaded_ || released_);
}

}  // namespace kesrow
