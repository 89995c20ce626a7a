#include <exception>
#include <memory>

#include "core/main_form.h"
#include "core/shared_files.h"
#include "core/text_file.h"
#include "core/texts.h"

namespace kesrow {

void MainForm::Timer1_Timer()
{
    if (unloaded_) return;
    // A tick still under way (its access to the share, or a box it opened
    // with an event loop of its own), or the log viewer's read: this tick is
    // skipped rather than queued.
    if (inTick_ || share_.outstanding() > 0) {
        if (share_.outstanding() > 0 && ++silentTicks_ == kSilentTicksUntilUnknown) {
            try {
                showUnknown();
            } catch (const std::exception&) {
                // The icon stays as it was; the tick reports what follows.
            }
        }
        return;
    }
    inTick_ = true;
    silentTicks_ = 0;
    auto outcome = std::make_shared<TickOutcome>();
    share_.run([this, outcome, holder = currentHolder_, unknown = unknownShown_] {
        pollOnce(*outcome, holder, unknown);
    }, [this, outcome](std::exception_ptr failure) { finishTick(*outcome, failure); });
}

// On the share worker: everything up to what the user-interface thread has
// to show. outcome is filled as far as the tick got when it throws.
void MainForm::pollOnce(TickOutcome& outcome, const std::string& holder, bool unknownShown)
{
    {
        TextFile status(StatusFile(), OpenMode::Input);
        if (status.AtEnd()) {  // also seen while another copy rewrites it
            status.Close();
            outcome.statusRead = true;
            return;
        }
        outcome.status = status.ReadField();
        status.Close();
        outcome.statusRead = true;
    }
    const std::string& s = outcome.status;

    // After the unknown picture, the first reading counts as a change.
    if (s != holder || unknownShown) {
        outcome.action = TickOutcome::Action::Change;
        return;
    }

    // Each question is asked afresh: the connection may come or go within a tick.
    const bool firstProbe = IsDialedUp();
    if (holder == kFreeLine && firstProbe) {
        setuzoku();
        return;
    }
    const std::string firstQuery = p_.host.localHostName();
    const bool secondProbe = IsDialedUp();
    if (firstQuery == holder && !secondProbe) {
        setudan();
        return;
    }
    const std::string secondQuery = p_.host.localHostName();
    const bool thirdProbe = IsDialedUp();
    if (secondQuery != holder && thirdProbe) outcome.action = TickOutcome::Action::Violation;
}

void MainForm::finishTick(const TickOutcome& outcome, std::exception_ptr failure)
{
    if (unloaded_) return endTick();
    try {
        if (failure) {
            // A status file that cannot be read: the line's state is unknown.
            if (!outcome.statusRead) showUnknown();
            std::rethrow_exception(failure);
        }
        tickFailureShown_ = false;
        switch (outcome.action) {
        case TickOutcome::Action::Change:
            p_.tray.remove();
            if (outcome.status != kFreeLine)
                p_.tray.add(TrayImage::Prohibition, LineHeldTooltip(outcome.status));
            else
                p_.tray.add(TrayImage::Normal, kLineFreeTooltip);
            currentHolder_ = outcome.status;
            unknownShown_ = false;
            break;
        case TickOutcome::Action::Violation:
            return warnViolation();  // ends the tick itself
        case TickOutcome::Action::None:
            break;
        }
    } catch (const std::exception&) {
        tickFailed(std::current_exception());
    }
    endTick();
}

// A file server away for a moment is routine: leave everything as it was,
// say so once, and try again on the next tick.
void MainForm::tickFailed(std::exception_ptr failure)
{
    if (tickFailureShown_) return;
    tickFailureShown_ = true;
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        p_.dialogs.messageBox(std::string(kPollingStopped) + e.what(), BoxStyle::Exclamation, kTitle);
    }
}

void MainForm::endTick()
{
    inTick_ = false;
    silentTicks_ = 0;
}

void MainForm::showUnknown()
{
    if (unknownShown_) return;
    unknownShown_ = true;
    p_.tray.remove();
    p_.tray.add(TrayImage::Unknown, kShareUnknownTooltip);
}

// Beeps and the box on the user-interface thread; the violation line, timed
// when the user closed the box, on the share worker behind them.
void MainForm::warnViolation()
{
    p_.dialogs.beep();
    p_.dialogs.violationWarning(kWarningText, kTitle);
    share_.run([this] { appendLog(ViolationMessage, kViolationMarker); }, [this](std::exception_ptr failure) {
        try {
            if (failure) std::rethrow_exception(failure);
            p_.dialogs.beep();
        } catch (const std::exception&) {
            tickFailed(std::current_exception());
        }
        endTick();
    });
}

// Module1's probe: connected exactly when the system counts a connection.
bool MainForm::IsDialedUp()
{
    return p_.dialUp.activeConnections() != 0;
}

}  // namespace kesrow
