#include "core/main_form.h"

#include "core/server_path.h"
#include "core/shared_files.h"
#include "core/text_file.h"
#include "core/texts.h"

namespace kesrow {

MainForm::MainForm(Platform& platform) : p_(platform) {}

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
        TextFile pas(ServerPathFileToRead(p_.process), OpenMode::Input);
        serverPath_ = pas.ReadField();
        serverPathRead_ = true;
        pas.Close();

        TextFile status(StatusFile(), OpenMode::Input);  // only whether it opens matters
        status.Close();

        p_.tray.add(TrayImage::Normal, kLineFreeTooltip);
        // Last, so that no tick runs while a failed start-up is recovering.
        p_.timer.setEnabled(true);
    } catch (const std::exception&) {
        errsyori();
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
    }
    unloadQuietlyAndEnd();
}

void MainForm::unloadQuietlyAndEnd()
{
    try {
        Unload();
    } catch (const std::exception&) {
        // The process ends all the same.
    }
    p_.process.end();
}

void MainForm::Form_QueryUnload()
{
    p_.tray.remove();
}

void MainForm::Form_Unload()
{
    // Ended while the warning was open (a stop signal, logout): the
    // violation is recorded now, at the time of the unload.
    if (violationOpen_) {
        violationOpen_ = false;
        appendLog(ViolationMessage, kViolationMarker);
    }
    // A second copy, or a start-up that never read pas.txt, has no status
    // file of ours to look at.
    if (!serverPathRead_) return;
    TextFile status(StatusFile(), OpenMode::Input);
    if (status.AtEnd()) return;
    const std::string holder = status.ReadField();
    status.Close();
    if (AsReadBack(LocalHostName()) == holder) setudan();
}

void MainForm::Unload()
{
    if (unloaded_) return;
    unloaded_ = true;
    Form_QueryUnload();
    Form_Unload();
    p_.process.formUnloaded();
}

void MainForm::f_end_Click()
{
    Unload();
    p_.process.end();
}

void MainForm::MenuEnd_Click()
{
    Unload();
}

void MainForm::setuzoku()
{
    rewriteStatus(LocalHostName());
    appendLog(ConnectLine);
}

void MainForm::setudan()
{
    rewriteStatus(kFreeLine);
    appendLog(DisconnectLine);
}

std::string MainForm::LocalHostName()
{
    lastHostName_ = p_.host.localHostName();
    return lastHostName_;
}

// Replaced whole and at once: a reader sees the old value or the new, never
// an emptied file, whatever happens to this copy or the disk meanwhile.
void MainForm::rewriteStatus(const std::string& value)
{
    ReplaceWithLine(StatusFile(), FieldText(value), TemporaryFileFor(StatusFile(), lastHostName_));
}

void MainForm::appendLog(LogLine line, const char* marker)
{
    TextFile log(LogFile(), OpenMode::Append);
    // The host name and the time are taken once the log is open.
    const std::string host = LocalHostName();
    const std::string text = line(host, DateTimeText(p_.clock.now()));
    if (marker)
        log.WriteLine({marker, text});
    else
        log.WriteLine({text});
    log.Close();
}

void MainForm::RunEvent(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        p_.dialogs.messageBox(kProgramEnds + std::string(e.what()), BoxStyle::Exclamation, kTitle);
        p_.process.end();
    }
}

}  // namespace kesrow
