#include "app/log_commands.h"

#include <exception>
#include <string>

#include "core/line_status.h"
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
        const LineStatus status = ReadLineStatus(ReadServerPath());
        sys::WriteStandard(false, LineStatusText(status, sys::Clock().now()));
        return status.free() ? kLineFree : kLineHeld;
    } catch (const std::exception& e) {
        return Unreadable(e);
    }
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
