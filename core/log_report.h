// Answers from the connection log: each computer's connections, connected
// time and violations in one month. Read-only; nothing here touches the
// status file or the instance lock.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform.h"

namespace kesrow {

struct YearMonth {
    int year = 0;
    int month = 0;
    bool operator==(const YearMonth&) const = default;
};

// "YYYY-MM"; nothing when the text is anything else.
std::optional<YearMonth> ParseYearMonth(std::string_view text);

enum class LogEvent { Connect, Disconnect, Violation };

struct LogLine {
    LogEvent event;
    std::string host;
    LocalDateTime when;
};

// A connect, disconnect or violation line as the copies write it, decoded
// to UTF-8; nothing for any other line.
std::optional<LogLine> ParseLogLine(std::string_view line);

// The lines of the log that ParseLogLine understands, in file order.
// Throws FileError when the log cannot be read.
std::vector<LogLine> ReadLog(const std::string& logFile);

// The log and the older files a rotation left beside it, oldest first:
// kesrow.log.N ... kesrow.log.2, kesrow.log.1, then kesrow.log, the numbers
// counted up from 1 to the first one missing. The log itself may be missing
// while a kesrow.log.1 exists (a rotation before the next connect). Throws
// FileError when a file cannot be read.
std::vector<LogLine> ReadRotatedLog(const std::string& logFile);

// How much of the log's end LastConnect reads, and in what pieces: a log of
// years costs --status no more than a new one.
inline constexpr std::size_t kLogChunkBytes = 1024 * 1024;
struct LogLookBack {
    std::size_t chunkBytes = kLogChunkBytes;
    std::uint64_t mostBytes = 4 * kLogChunkBytes;
};

// The host's last connect line within the last lookBack.mostBytes of the
// log, read from its end back as ReadLog reads it; nothing when there is
// none there. Throws FileError when the log cannot be read.
std::optional<LocalDateTime> LastConnect(const std::string& logFile, const std::string& host, LogLookBack lookBack = {});

struct ComputerTotals {
    std::string host;
    int connections = 0;  // connects within the month
    std::int64_t connectedSeconds = 0;
    int violations = 0;
    bool stillConnected = false;  // counted up to now
    int unclosed = 0;             // connects without a disconnect before the next connect
};

struct MonthReport {
    YearMonth month;
    std::vector<ComputerTotals> computers;  // by host name
    ComputerTotals total;
};

// A connection belongs to the month of its connect line and lasts until
// the next disconnect of the same computer; one still open lasts until now,
// one followed by another connect of that computer until that connect.
MonthReport BuildMonthReport(const std::vector<LogLine>& log, YearMonth month, const LocalDateTime& now);

// Columns aligned for a terminal, control characters escaped.
std::string ReportText(const MonthReport& report);
// Comma-separated, one row per computer and a total row, for a spreadsheet:
// UTF-8 after a byte-order mark, which a spreadsheet on a Japanese desktop
// needs to open it as UTF-8 and not as code page 932.
std::string ReportCsv(const MonthReport& report);

// Seconds from one local time to another, both read as civil time.
std::int64_t SecondsBetween(const LocalDateTime& from, const LocalDateTime& to);
// "H:MM:SS", hours unbounded.
std::string DurationText(std::int64_t seconds);
// Text from the shared folder or a user made safe for a terminal, so that it
// can neither steer it nor split a line: every byte of a control character
// shown as \xNN, C0 (LF too, unless keepLineBreaks), DEL and C1 (U+0080 to
// U+009F, C2 80 to C2 9F in UTF-8: \xC2\x9B); all else, Japanese too, as it is.
std::string TerminalSafe(std::string_view text, bool keepLineBreaks = false);

}  // namespace kesrow
