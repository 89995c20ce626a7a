#include "core/line_status.h"

#include <algorithm>

#include "core/log_report.h"
#include "core/texts.h"
#include "core/shared_files.h"
#include "core/text_file.h"

namespace kesrow {

bool LineStatus::free() const { return holder == kFreeLine; }

LineStatus ReadLineStatus(const std::string& serverPath)
{
    const std::string statusFile = serverPath + kStatusFileName;
    TextFile status(statusFile, OpenMode::Input);
    if (status.AtEnd()) throw FileError(statusFile, "空のファイルです");
    LineStatus result{status.ReadField(), {}};
    status.Close();
    if (result.free()) return result;
    try {
        result.since = LastConnect(serverPath + kLogFileName, result.holder);
    } catch (const FileError&) {
        // A holder whose connect line is missing (no log yet) is still the holder.
    }
    return result;
}

std::string LineStatusText(const LineStatus& status, const LocalDateTime& now)
{
    if (status.free()) return std::string(kLineFreeTooltip) + "\n";
    std::string text = TerminalSafe(LineHeldTooltip(status.holder)) + "\n";
    if (status.since)
        text += "接続: " + DateTimeText(*status.since) + " (" +
                DurationText(std::max<std::int64_t>(0, SecondsBetween(*status.since, now))) + ")\n";
    else
        text += "接続: 不明 (接続ログに記録がありません)\n";
    return text;
}

}  // namespace kesrow
