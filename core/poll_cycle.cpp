#include <exception>
#include <memory>
#include <stdexcept>
#include <utility>

#include "core/main_form.h"
#include "core/shared_files.h"
#include "core/text_file.h"
#include "core/texts.h"

namespace kesrow {
namespace {

// The dial-up probe's failure, told apart from the share's.
class DialUpFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace

// Takes the tick when none is under way, with what it starts from.
bool MainForm::startTick(Shown& shown)
{
    std::lock_guard lock(state_);
    if (unloaded_ || inTick_) return false;
    inTick_ = true;
    shown = {currentHolder_, holderNote_, unknownShown_};
    return true;
}

void MainForm::PaceTimer1(bool enabled)
{
    share_.pace(std::chrono::milliseconds(enabled ? kTimerIntervalMs : 0));
}

void MainForm::TickNow()
{
    share_.tickNow();
}

// On the share worker. A tick with nothing to show ends here.
void MainForm::Timer1_Timer()
{
    Shown shown;
    if (!startTick(shown)) return;
    TickOutcome outcome;
    std::exception_ptr failure;
    try {
        pollOnce(outcome, shown);
    } catch (...) {
        failure = std::current_exception();
    }
    {
        std::lock_guard lock(state_);
        if (!failure && outcome.action == TickOutcome::Action::None && !tickFailureShown_) {
            inTick_ = false;
            return;
        }
    }
    // The failure moves along: its last owner is the user-interface thread.
    share_.post([this, outcome, failure = std::move(failure)] { finishTick(outcome, failure); });
}

// On the share worker: everything up to what the user-interface thread has
// to show. outcome is filled as far as the tick got when it throws.
void MainForm::pollOnce(TickOutcome& outcome, const Shown& shown)
{
    const std::string& holder = shown.holder;
    TextFile status(StatusFile(), OpenMode::Input);
    const bool empty = status.AtEnd();  // also seen while another copy rewrites it
    if (!empty) outcome.status = status.ReadField();
    status.Close();
    outcome.statusRead = true;
    if (empty) return;
    const std::string& s = outcome.status;

    // After the unknown picture, the first reading counts as a change.
    if (s != holder || shown.unknown) {
        outcome.action = TickOutcome::Action::Change;
        outcome.holderNote = holderNote(s);
        return;
    }
    if (presenceDue()) {
        const std::string host = LocalHostName();
        keepPresence(host, AsReadBack(host) == holder);
        outcome.holderNote = holderNote(holder);
        if (outcome.holderNote != shown.holderNote) {
            outcome.action = TickOutcome::Action::Change;
            return;
        }
    }

    // Each question is asked afresh: the connection may come or go within a tick.
    const bool firstProbe = IsDialedUp();
    if (holder == kFreeLine && firstProbe) {
        setuzoku();
        return;
    }
    // This computer's name as the status file gives it back once written.
    const std::string firstQuery = AsReadBack(LocalHostName());
    const bool secondProbe = IsDialedUp();
    if (firstQuery == holder && !secondProbe) {
        setudan();
        return;
    }
    const std::string secondQuery = AsReadBack(LocalHostName());
    const bool thirdProbe = IsDialedUp();
    if (secondQuery != holder && thirdProbe) {
        // A holder that has gone away without releasing hands the line over.
        if (!shown.holderNote.empty() && takeOver(holder)) return;
        outcome.action = TickOutcome::Action::Violation;
    }
}

// On the user-interface thread. A box that a tick opens never holds the
// poll cycle: the tick has ended before the box opens, and later ticks keep
// the icon true and claim or release the line while it is open.
void MainForm::finishTick(const TickOutcome& outcome, std::exception_ptr failure)
{
    if (unloaded_) return endTick();
    if (failure) {
        // A status file that cannot be read: the line's state is unknown.
        try {
            if (!outcome.statusRead) showUnknown();
        } catch (const std::exception&) {
        }
        endTick();
        return tickFailed(failure);
    }
    {
        std::lock_guard lock(state_);
        tickFailureShown_ = false;
    }
    try {
        switch (outcome.action) {
        case TickOutcome::Action::Change:
            if (outcome.status != kFreeLine)
                p_.tray.show(TrayImage::Prohibition, LineHeldTooltip(outcome.status) + outcome.holderNote);
            else
                p_.tray.show(TrayImage::Normal, kLineFreeTooltip);
            {
                std::lock_guard lock(state_);
                currentHolder_ = outcome.status;
                holderNote_ = outcome.holderNote;
                unknownShown_ = false;
            }
            if (outcome.status == kFreeLine && std::exchange(freeNoticeDue_, false))
                p_.tray.showNotice(kTitle, kLineFreeNotice);
            break;
        case TickOutcome::Action::Violation:
            endTick();
            return warnViolation();
        case TickOutcome::Action::None:
            break;
        }
    } catch (const std::exception&) {
        endTick();
        return tickFailed(std::current_exception());
    }
    endTick();
}

// A file server away for a moment is routine: leave everything as it was,
// say so once, and try again on the next tick. One such box at a time.
void MainForm::tickFailed(std::exception_ptr failure)
{
    std::string text;
    try {
        std::rethrow_exception(failure);
    } catch (const DialUpFailure& e) {
        // Said again only after the probe has answered: a tick that reads a change asks it nothing.
        if (failureBoxOpen_ || dialUpFailureShown_.exchange(true)) return;
        text = std::string(kDialUpUnanswered) + e.what();
    } catch (const std::exception& e) {
        // A share failure box still open says it for this outage too.
        std::lock_guard lock(state_);
        if (tickFailureShown_) return;
        tickFailureShown_ = true;
        if (failureBoxOpen_) return;
        text = std::string(kPollingStopped) + e.what();
    }
    failureBoxOpen_ = true;
    try {
        p_.dialogs.messageBox(text, BoxStyle::Exclamation, kTitle);
    } catch (...) {
        failureBoxOpen_ = false;
        throw;
    }
    failureBoxOpen_ = false;
}

void MainForm::endTick()
{
    std::lock_guard lock(state_);
    inTick_ = false;
}

// Never less forbidding than what was last known: a held line keeps its
// prohibition sign and its holder, and says that the share does not answer.
void MainForm::showUnknown()
{
    std::string holder;
    {
        std::lock_guard lock(state_);
        if (unknownShown_) return;
        unknownShown_ = true;
        holder = currentHolder_;
    }
    if (!holder.empty() && holder != kFreeLine)
        p_.tray.show(TrayImage::Prohibition, LineHeldTooltip(holder) + kShareSilentNote);
    else
        p_.tray.show(TrayImage::Unknown, kShareUnknownTooltip);
}

// Beeps and the box on the user-interface thread; the violation line, timed
// when the user closed the box, on the share worker behind them. Ticks go on
// meanwhile; those that fall due before the last beep warn no second time.
void MainForm::warnViolation()
{
    if (warningOpen_) return;
    warningOpen_ = true;
    const auto over = [this] { warningOpen_ = false; };
    try {
        p_.dialogs.beep();
        violationOpen_ = true;
        freeNoticeDue_ = true;
        p_.dialogs.violationWarning(kWarningText, kTitle);
    } catch (...) {
        violationOpen_ = false;
        over();
        throw;
    }
    if (!violationOpen_.exchange(false)) return over();  // the unload path has recorded it
    share_.run([this] { appendLog(ViolationMessage, kViolationMarker); }, [this, over](std::exception_ptr failure) {
        over();
        try {
            if (failure) std::rethrow_exception(failure);
            p_.dialogs.beep();
        } catch (const std::exception&) {
            tickFailed(std::current_exception());
        }
    });
}

// Module1's probe: connected exactly when the system counts a connection.
bool MainForm::IsDialedUp()
{
    int connections = 0;
    try {
        connections = p_.dialUp.activeConnections();
    } catch (const std::exception& e) {
        throw DialUpFailure(e.what());
    }
    dialUpFailureShown_.store(false, std::memory_order_relaxed);
    return connections != 0;
}

}  // namespace kesrow
