#include "core/line_status.h"

#include <algorithm>

#include "core/log_report.h"
#include "core/shared_files.h"
#include "core/text_file.h"
#include "core/texts.h"

namespace kesrow {

bool LineStatus::free() const { return holder == kFreeLine; }

LineStatus ReadLineStatus(const std::string& serverPath, std::chrono::milliseconds goneAfter)
{
    const std::string statusFile = serverPath + kStatusFileName;
    TextFile status(statusFile, OpenMode::Input);
    if (status.AtEnd()) throw FileError(statusFile, "空のファイルです");
    LineStatus result;
    result.holder = status.ReadField();
    std::int64_t newest = status.Modified().seconds;
    status.Close();
    bool listed = true;
    try {
        result.presences = ReadAllPresences(serverPath);
    } catch (const FileError&) {
        listed = false;  // a folder that may be used but not listed: only the holder's presence is known
    }
    if (result.free()) return result;
    for (const Presence& presence : result.presences) {
        newest = std::max(newest, presence.written.seconds);
        if (presence.host == result.holder) result.holderPresence = presence;
    }
    try {
        if (!listed) result.holderPresence = ReadPresence(serverPath, result.holder);
    } catch (const FileError&) {
        // Unreadable: nothing is known against the holder.
    }
    result.holderGone = result.holderPresence && Gone(*result.holderPresence, newest, goneAfter);
    try {
        result.since = LastConnect(serverPath + kLogFileName, result.holder);
    } catch (const FileError&) {
        // A holder whose connect line is missing (no log yet) is still the holder.
    }
    return result;
}

std::string ShownName(const std::string& value)
{
    constexpr std::string_view blanks[] = {" ", "\t", "　"}, unseen[] = {"\xEF\xBB\xBF", "\xEF\xBF\xBD"};
    const std::string shown = TerminalSafe(value);
    bool plain = !value.empty() && shown == value;
    for (const auto blank : blanks) plain = plain && !value.starts_with(blank) && !value.ends_with(blank);
    for (const auto mark : unseen) plain = plain && value.find(mark) == std::string::npos;
    std::string upper = value;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    if (upper == kFreeLine) plain = false;
    return plain ? shown : "\"" + shown + "\"";
}

std::string LineStatusText(const LineStatus& status, const LocalDateTime& now)
{
    std::string text;
    if (status.free()) {
        text = std::string(kLineFreeTooltip) + "\n";
    } else {
        text = LineHeldTooltip(ShownName(status.holder));
        if (status.holderGone) text += NoAnswerNote(status.holderPresence->written.local, now);
        text += "\n";
        if (status.since)
            text += "接続: " + DateTimeText(*status.since) + " (" +
                    DurationText(std::max<std::int64_t>(0, SecondsBetween(*status.since, now))) + ")\n";
        else
            text += "接続: 不明 (接続ログに記録がありません)\n";
        if (!status.holderPresence) text += "応答: 不明 (このコンピュータの在席ファイルがありません)\n";
    }
    for (const Presence& p : status.presences) {
        const bool gone = status.holderGone && p.host == status.holder;
        text += "在席: " + ShownName(p.host) + "  " + TerminalSafe(p.doing) + "  最終応答 " +
                DateTimeText(p.written.local) + (gone ? "  応答なし" : "") + "\n";
    }
    return text;
}

std::string ReleaseLine(const std::string& serverPath, const std::string& holder, const std::string& by,
                        const LocalDateTime& now)
{
    const std::string statusFile = serverPath + kStatusFileName, logFile = serverPath + kLogFileName;
    const std::string line = MarkedDisconnectLine(holder, DateTimeText(now), ReleaseNote(by));
    TextFile log(logFile, OpenMode::Append, {.likeFile = statusFile});
    log.WriteLine({FieldText(line)});
    log.Close();
    TextFile status(statusFile, OpenMode::Output, {.likeFile = logFile});
    status.WriteLine({kFreeLine});
    status.Close();
    return line;
}

}  // namespace kesrow
