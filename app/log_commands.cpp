#include "app/log_commands.h"

#include <cstdio>
#include <exception>
#include <string>

#include "core/line_status.h"
#include "core/server_path.h"
#include "core/shared_files.h"
#include "core/text_file.h"
#include "platform/posix/posix_services.h"

namespace kesrow {
namespace {

// The folder start-up would use: the working directory's pas.txt, else the computer's.
std::string ReadServerPath()
{
    PosixProcess process;
    TextFile pas(ServerPathFileToRead(process), OpenMode::Input, {.links = files::Links::Follow});
    std::string path = pas.ReadField();
    pas.Close();
    return path;
}

void Print(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

int Unreadable(const std::exception& e)
{
    std::fprintf(stderr, "kesrow: %s\n", TerminalSafe(e.what()).c_str());
    return kStatusUnreadable;
}

}  // namespace

int RunStatus()
{
    try {
        const LineStatus status = ReadLineStatus(ReadServerPath());
        Print(LineStatusText(status, LocalClock().now()));
        return status.free() ? kLineFree : kLineHeld;
    } catch (const std::exception& e) {
        return Unreadable(e);
    }
}

int RunReport(std::optional<YearMonth> month, bool csv)
{
    try {
        const LocalDateTime now = LocalClock().now();
        const std::vector<LogLine> log = ReadRotatedLog(ReadServerPath() + kLogFileName);
        const MonthReport report = BuildMonthReport(log, month.value_or(YearMonth{now.year, now.month}), now);
        Print(csv ? ReportCsv(report) : ReportText(report));
        return 0;
    } catch (const std::exception& e) {
        return Unreadable(e);
    }
}

}  // namespace kesrow
