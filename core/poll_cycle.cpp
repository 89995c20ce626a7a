#include <exception>

#include "core/main_form.h"
#include "core/shared_files.h"
#include "core/text_file.h"
#include "core/texts.h"

namespace kesrow {

void MainForm::Timer1_Timer()
{
    // A box this tick opened runs its own event loop; the ticks that fall
    // due meanwhile are skipped rather than nested.
    if (inTick_ || unloaded_) return;
    inTick_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{inTick_};

    try {
        pollOnce();
        tickFailureShown_ = false;
    } catch (const std::exception& e) {
        // A file server away for a moment is routine: leave everything as it
        // was, say so once, and try again on the next tick.
        if (tickFailureShown_) return;
        tickFailureShown_ = true;
        p_.dialogs.messageBox(std::string(kPollingStopped) + e.what(), BoxStyle::Exclamation, kTitle);
    }
}

void MainForm::pollOnce()
{
    std::string s;
    {
        TextFile status(StatusFile(), OpenMode::Input);
        if (status.AtEnd()) return;  // also seen while another copy rewrites it
        s = status.ReadField();
        status.Close();
    }

    if (s != currentHolder_) {
        p_.tray.remove();
        if (s != kFreeLine)
            p_.tray.add(TrayImage::Prohibition, LineHeldTooltip(s));
        else
            p_.tray.add(TrayImage::Normal, kLineFreeTooltip);
        currentHolder_ = s;
        return;
    }

    // Each question is asked afresh: the connection may come or go within a tick.
    const bool firstProbe = IsDialedUp();
    if (currentHolder_ == kFreeLine && firstProbe) {
        setuzoku();
        return;
    }
    // This computer's name as the status file gives it back once written.
    const std::string firstQuery = AsReadBack(LocalHostName());
    const bool secondProbe = IsDialedUp();
    if (firstQuery == currentHolder_ && !secondProbe) {
        setudan();
        return;
    }
    const std::string secondQuery = AsReadBack(LocalHostName());
    const bool thirdProbe = IsDialedUp();
    if (secondQuery != currentHolder_ && thirdProbe) warnViolation();
}

void MainForm::warnViolation()
{
    p_.dialogs.beep();
    violationOpen_ = true;
    p_.dialogs.violationWarning(kWarningText, kTitle);
    if (!violationOpen_) return;  // the unload path has recorded it
    violationOpen_ = false;
    // The time recorded is when the user closed the box.
    appendLog(ViolationMessage, kViolationMarker);
    p_.dialogs.beep();
}

// Module1's probe: connected exactly when the system counts a connection.
bool MainForm::IsDialedUp()
{
    return p_.dialUp.activeConnections() != 0;
}

}  // namespace kesrow
