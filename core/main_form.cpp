#include "core/main_form.h"

#include "core/server_path.h"
#include "core/shared_files.h"
#include "core/text_file.h"

namespace kesrow {
namespace {

constexpr const char* kAlreadyRunning = "このアプリケーションはすでに開かれています。";
constexpr const char* kLoadErrorTitle = "ロードエラー";
constexpr const char* kRecoveryQuestion =
    "現在このコンピュータは、ネットワーク環境ではありません。\rサーバパスの変更を行う時はＯＫを押して下さい";

}  // namespace

std::string LineHeldTooltip(const std::string& holder)
{
    return "ダイアルアップに" + holder + "さんが接続中";
}

kesrow::kesrow(Platform& platform) : p_(platform) {}

std::string kesrow::StatusFile() const { return serverPath_ + kStatusFileName; }
std::string kesrow::LogFile() const { return serverPath_ + kLogFileName; }

void kesrow::Form_Load()
{
    if (p_.process.previousInstance()) {
        p_.dialogs.messageBox(kAlreadyRunning, vbExclamation, kLoadErrorTitle);
        unloadQuietlyAndEnd();
        return;
    }
    try {
        TextFile pas(ServerPathFile(p_.process.currentDirectory()), OpenMode::Input);
        serverPath_ = pas.ReadField();
        pas.Close();

        TextFile status(StatusFile(), OpenMode::Input);  // only whether it opens matters
        status.Close();

        p_.tray.setImageList(p_.tray.imageListHandle());
        p_.tray.add(kIconId, 1, kLineFreeTooltip);
        // Last, so that no tick runs while a failed start-up is recovering.
        p_.timer.setEnabled(true);
    } catch (const std::exception&) {
        errsyori();
    }
}

void kesrow::errsyori()
{
    try {
        if (p_.dialogs.messageBox(kRecoveryQuestion, vbOKCancel, kTitle) == vbOK) {
            const std::string file = ServerPathFile(p_.process.currentDirectory());
            const std::string answer = PromptServerPath(p_.dialogs, StoredServerPath(file));
            if (!answer.empty()) {
                ReplaceWithLine(file, answer);
                p_.dialogs.messageBox(kServerPathChanged, vbOKOnly, kTitle);
            }
        }
    } catch (const std::exception& e) {
        // Say why and end rather than linger as a copy that holds the
        // instance lock and does nothing.
        p_.dialogs.messageBox(e.what(), vbExclamation, kTitle);
    }
    unloadQuietlyAndEnd();
}

void kesrow::unloadQuietlyAndEnd()
{
    try {
        Unload();
    } catch (const std::exception&) {
        // The process ends all the same.
    }
    p_.process.end();
}

void kesrow::Form_QueryUnload(int& /*Cancel*/, int /*UnloadMode*/)
{
    p_.tray.remove(kIconId);
}

void kesrow::Form_Unload(int& /*Cancel*/)
{
    // Without a server path (a second copy, or a start-up that never read
    // one) there is no status file of ours to look at.
    if (serverPath_.empty()) return;
    TextFile status(StatusFile(), OpenMode::Input);
    if (status.AtEnd()) return;
    const std::string holder = status.ReadField();
    status.Close();
    if (p_.host.localHostName() == holder) setudan();
}

void kesrow::Unload()
{
    if (unloaded_) return;
    unloaded_ = true;
    int cancel = 0;
    Form_QueryUnload(cancel, 0);
    Form_Unload(cancel);
    p_.process.formUnloaded();
}

void kesrow::f_end_Click()
{
    Unload();
    p_.process.end();
}

void kesrow::MenuEnd_Click()
{
    Unload();
}

void kesrow::setuzoku()
{
    rewriteStatus(p_.host.localHostName());
    appendLog(ConnectLine);
}

void kesrow::setudan()
{
    rewriteStatus(kFreeLine);
    appendLog(DisconnectLine);
}

void kesrow::rewriteStatus(const std::string& value)
{
    TextFile status(StatusFile(), OpenMode::Output);
    status.WriteLine({value});
    status.Close();
}

void kesrow::appendLog(LogLine line, const char* marker)
{
    TextFile log(LogFile(), OpenMode::Append);
    // The host name and the time are taken once the log is open.
    const std::string host = p_.host.localHostName();
    const std::string text = line(host, DateTimeText(p_.clock.now()));
    if (marker)
        log.WriteLine({marker, text});
    else
        log.WriteLine({text});
    log.Close();
}

void kesrow::RunEvent(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        p_.dialogs.messageBox(e.what(), vbExclamation, kTitle);
        p_.process.end();
    }
}

}  // namespace kesrow
