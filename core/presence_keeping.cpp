// The main form's presence in the shared folder, and the takeover of a line
// whose holder is gone. All of it runs on the share worker.
#include "core/main_form.h"
#include "core/shared_files.h"
#include "core/text_file.h"

namespace kesrow {

bool MainForm::presenceDue()
{
    const auto now = std::chrono::steady_clock::now();
    if (now < presenceDue_) return false;
    presenceDue_ = now + presenceTimings_.refresh;  // a host name that fails is asked no more often
    return true;
}

void MainForm::keepPresence(const std::string& host, bool holding)
{
    presenceDue_ = std::chrono::steady_clock::now() + presenceTimings_.refresh;
    try {
        if (host != presenceHost_) removePresence();  // the computer was renamed
        presenceWritten_ = WritePresence(serverPath_, host, holding, StatusFile());
        presenceHost_ = host;
    } catch (const std::exception&) {
        // A folder this user may not create files in: the copy works on,
        // only without judging others gone.
    }
}

void MainForm::removePresence()
{
    if (presenceHost_.empty()) return;
    try {
        files::Remove(serverPath_ + PresenceFileName(presenceHost_));
    } catch (const std::exception&) {
        // Left behind, it goes stale as a dead copy's would.
    }
    presenceHost_.clear();
    presenceWritten_.reset();
}

std::string MainForm::holderNote(const std::string& holder)
{
    if (holder == kFreeLine || !presenceWritten_) return {};
    try {
        const auto presence = ReadPresence(serverPath_, holder);
        if (presence && Gone(*presence, presenceWritten_->seconds, presenceTimings_.goneAfter))
            return NoAnswerNote(presence->written.local, presenceWritten_->local);
    } catch (const std::exception&) {
        // A presence that cannot be read says nothing against its holder.
    }
    return {};
}

// The holder's disconnect, marked as taken over, then this computer's
// connect, then the status. False when the holder has answered meanwhile.
bool MainForm::takeOver(const std::string& holder)
{
    const std::string host = LocalHostName();
    keepPresence(host, false);  // the file server's time now, to judge by
    if (holderNote(holder).empty()) return false;
    TextFile log(LogFile(), OpenMode::Append, {.likeFile = StatusFile()});
    const std::string when = DateTimeText(p_.clock.now());
    log.WriteLine({FieldText(MarkedDisconnectLine(holder, when, TakeOverNote(host)))});
    log.WriteLine({FieldText(ConnectLine(host, when))});
    log.Close();
    rewriteStatus(host);
    keepPresence(host, true);
    return true;
}

}  // namespace kesrow
