#include <exception>

#include "core/dialup_probe.h"
#include "core/main_form.h"
#include "core/shared_files.h"
#include "core/text_file.h"

namespace kesrow {
namespace {

constexpr const char* kPollingStopped =
    "共有フォルダのファイルを読み書きできません。\r接続が戻ると自動的に監視を再開します。\r\r";

}  // namespace

void kesrow::Timer1_Timer()
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
        p_.dialogs.messageBox(std::string(kPollingStopped) + e.what(), vbExclamation, kTitle);
    }
}

void kesrow::pollOnce()
{
    std::string s;
    {
        TextFile status(StatusFile(), OpenMode::Input);
        if (status.AtEnd()) return;  // also seen while another copy rewrites it
        s = status.ReadField();
        status.Close();
    }

    if (s != currentHolder_) {
        p_.tray.remove(kIconId);
        if (s != kFreeLine)
            p_.tray.add(kIconId, 2, LineHeldTooltip(s));
        else
            p_.tray.add(kIconId, 1, kLineFreeTooltip);
        currentHolder_ = s;
        return;
    }

    // Each question is asked afresh: the connection may come or go within a tick.
    std::string scratch;
    const bool firstProbe = IsDialedUp(p_.dialUp, scratch);
    if (currentHolder_ == kFreeLine && firstProbe) {
        setuzoku();
        return;
    }
    const std::string firstQuery = p_.host.localHostName();
    const bool secondProbe = IsDialedUp(p_.dialUp, scratch);
    if (firstQuery == currentHolder_ && !secondProbe) {
        setudan();
        return;
    }
    const std::string secondQuery = p_.host.localHostName();
    const bool thirdProbe = IsDialedUp(p_.dialUp, scratch);
    if (secondQuery != currentHolder_ && thirdProbe) warnViolation();
}

void kesrow::warnViolation()
{
    p_.dialogs.beep();
    p_.dialogs.messageBox(kWarningText, vbOKOnly, kTitle);
    // The time recorded is when the user closed the box.
    appendLog(ViolationMessage, kViolationMarker);
    p_.dialogs.beep();
}

}  // namespace kesrow
