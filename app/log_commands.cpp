#include "app/log_commands.h"

#include <exception>
#include <string>

#include "core/line_status.h"
#include "core/presence.h"
#include "core/server_path.h"
#include "core/shared_files.h"
#include "core/text_file.h"
#include "app/system.h"

namespace kesrow {
namespace {

// The folder start-up would use: the working directory's pas.txt, else the computer's.
std::string ReadServerPath()
{
    sys::Process process;
    TextFile pas(ServerPathFileToRead(process), OpenMode::Input, {.links = files::Links::Follow});
    std::string path = pas.ReadField();
    pas.Close();
    return path;
}

int Unreadable(const std::exception& e)
{
    sys::WriteStandard(true, "kesrow: " + TerminalSafe(e.what()) + "\n");
    return kStatusUnreadable;
}

}  // namespace

int RunStatus()
{
    try {
        const LineStatus status = ReadLineStatus(ReadServerPath(), PresenceTimingsOfThisRun().goneAfter);
        sys::WriteStandard(false, LineStatusText(status, sys::Clock().now()));
        return status.free() ? kLineFree : status.holderGone ? kHolderGone : kLineHeld;
    } catch (const std::exception& e) {
        return Unreadable(e);
    }
}

int RunRelease(bool yes, bool force)
{
    std::string serverPath, line;
    try {
        serverPath = ReadServerPath();
        const LineStatus status = ReadLineStatus(serverPath, PresenceTimingsOfThisRun().goneAfter);
        sys::WriteStandard(false, LineStatusText(status, sys::Clock().now()));
        if (status.free()) return sys::WriteStandard(false, "回線は空いています。解除するものはありません。\n"), kReleased;
        if (status.holderPresence && !status.holderGone && !force) {
            sys::WriteStandard(true, "kesrow: " + ShownName(status.holder) +
                                         " のケスロウは応答しています。解除しません（強制するときは --force）。\n");
            return kRefused;
        }
        if (!yes) {
            sys::WriteStandard(false, "回線を解除しますか？ [y/N] ");
            const auto answer = sys::ReadTerminalLine();
            if (!answer) {
                sys::WriteStandard(true, "\nkesrow: 端末から確認できないため解除しません（--yes で確認を省きます）。\n");
                return kRefused;
            }
            if (*answer != "y" && *answer != "Y" && *answer != "yes")
                return sys::WriteStandard(false, "解除しませんでした。\n"), kRefused;
        }
        // Asked again just before writing: the holder may have released it meanwhile.
        if (ReadLineStatus(serverPath, PresenceTimingsOfThisRun().goneAfter).holder != status.holder) {
            sys::WriteStandard(true, "kesrow: 回線の状態が変わったため解除しませんでした。\n");
            return kRefused;
        }
        line = ReleaseLine(serverPath, status.holder, sys::HostName().localHostName(), sys::Clock().now());
    } catch (const std::exception& e) {
        return Unreadable(e);
    }
    sys::WriteStandard(false, "回線を解除しました。接続ログ: " + TerminalSafe(line) + "\n");
    return kReleased;
}

int RunReport(std::optional<YearMonth> month, bool csv)
{
    try {
        const LocalDateTime now = sys::Clock().now();
        const std::vector<LogLine> log = ReadRotatedLog(ReadServerPath() + kLogFileName);
        const MonthReport report = BuildMonthReport(log, month.value_or(YearMonth{now.year, now.month}), now);
        sys::WriteStandard(false, csv ? ReportCsv(report) : ReportText(report));
        return 0;
    } catch (const std::exception& e) {
        return Unreadable(e);
    }
}

}  // namespace kesrow
