#include "core/log_report.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <map>

#include "core/codepage.h"
#include "core/shared_files.h"
#include "core/text_file.h"

namespace kesrow {
namespace {

// Digits only: no sign, no blank (std::from_chars would take a minus).
bool ReadNumber(std::string_view& s, int& value, std::size_t minDigits, std::size_t maxDigits)
{
    std::size_t digits = 0;
    for (value = 0; digits < s.size() && digits <= maxDigits && s[digits] >= '0' && s[digits] <= '9'; ++digits)
        value = value * 10 + (s[digits] - '0');
    if (digits < minDigits || digits > maxDigits) return false;
    s.remove_prefix(digits);
    return true;
}

bool Take(std::string_view& s, char c)
{
    if (s.empty() || s.front() != c) return false;
    s.remove_prefix(1);
    return true;
}

bool ValidDate(int y, int m, int d)
{
    return std::chrono::year_month_day(std::chrono::year(y), std::chrono::month(unsigned(m)),
                                       std::chrono::day(unsigned(d))).ok();
}

// T as the copies write it: the short date, and the time unless it is
// midnight. Two-digit years, as older systems write them, fall in 1950-2049.
std::optional<LocalDateTime> ParseDateTime(std::string_view s)
{
    LocalDateTime t;
    const std::size_t before = s.size();
    if (!ReadNumber(s, t.year, 2, 4)) return {};
    const bool twoDigitYear = before - s.size() == 2;
    const char sep = s.empty() ? 0 : s.front();
    if ((sep != '/' && sep != '-') || !Take(s, sep) || !ReadNumber(s, t.month, 1, 2) || !Take(s, sep) ||
        !ReadNumber(s, t.day, 1, 2))
        return {};
    if (twoDigitYear) t.year += t.year < 50 ? 2000 : 1900;
    if (Take(s, ' ')) {
        if (!ReadNumber(s, t.hour, 1, 2) || !Take(s, ':') || !ReadNumber(s, t.minute, 2, 2)) return {};
        if (Take(s, ':') && !ReadNumber(s, t.second, 2, 2)) return {};
    }
    if (!s.empty() || !ValidDate(t.year, t.month, t.day) || t.hour > 23 || t.minute > 59 || t.second > 59)
        return {};
    return t;
}

bool EndsWith(std::string_view s, std::string_view end)
{
    return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

// s.rfind(part) without a memcmp call at every position: a log has millions of lines.
std::size_t FindLast(std::string_view s, std::string_view part)
{
    for (std::size_t at = s.size() >= part.size() ? s.size() - part.size() + 1 : 0; at-- > 0;)
        if (s[at] == part[0] && s.substr(at, part.size()) == part) return at;
    return std::string_view::npos;
}

std::optional<LogLine> Split(LogEvent event, std::string_view body, std::string_view hostEnd)
{
    const auto at = FindLast(body, hostEnd);
    if (at == std::string_view::npos || at == 0) return {};
    auto when = ParseDateTime(body.substr(at + hostEnd.size()));
    if (!when) return {};
    return LogLine{event, std::string(body.substr(0, at)), *when};
}

constexpr auto IsLineEnd = [](char c) { return c == '\r' || c == '\n'; };

// The log lines in bytes of whole lines, in order. Each line is read by the
// field rule on its own, so that a piece of the log cut at a line end reads
// as it does within the whole, a torn quoted line too.
template <class Take>
void ParseLines(std::string_view bytes, Take take)
{
    for (auto from = bytes.begin(); from != bytes.end();) {
        // Converted a piece at a time: one call for many lines, and no
        // second copy of a whole log. UTF-8, like code page 932, never has a
        // comma, quote, CR or LF inside a character, so the fields are the same.
        auto to = std::find_if(from + std::min<std::size_t>(bytes.end() - from, kLogChunkBytes), bytes.end(), IsLineEnd);
        to += to != bytes.end();
        const std::string text = FromCp932(std::string_view(from, to));
        for (auto line = text.begin(); line < text.end();) {
            const auto end = std::find_if(line, text.end(), IsLineEnd);
            FieldReader fields(std::string(line, end), false);
            while (!fields.AtEnd())
                if (auto parsed = ParseLogLine(fields.ReadField())) take(*parsed);
            line = end + (end != text.end());
        }
        from = to;
    }
}

bool SameMonth(const LocalDateTime& t, YearMonth m) { return t.year == m.year && t.month == m.month; }

// Terminal columns of UTF-8 text: East Asian wide characters take two.
std::size_t DisplayWidth(std::string_view s)
{
    std::size_t width = 0;
    for (std::size_t i = 0; i < s.size();) {
        const auto lead = static_cast<unsigned char>(s[i]);
        const std::size_t n = Utf8SequenceLength(s.substr(i));
        char32_t c = n == 1 ? lead : lead & (0x7F >> n);
        for (std::size_t k = 1; k < n && i + k < s.size(); ++k) c = (c << 6) | (s[i + k] & 0x3F);
        const bool halfWidthKana = c >= 0xFF61 && c <= 0xFF9F;
        width += c >= 0x1100 && !halfWidthKana ? 2 : 1;
        i += n;
    }
    return width;
}

std::string Padded(const std::string& text, std::size_t width, bool right)
{
    const std::string pad(width > DisplayWidth(text) ? width - DisplayWidth(text) : 0, ' ');
    return right ? pad + text : text + pad;
}

std::string Marks(const ComputerTotals& c)
{
    return std::string(c.stillConnected ? "*" : "") + (c.unclosed ? "!" : "");
}

// A field a spreadsheet takes as text: quoted when needed, and never read
// as a formula (a leading TAB or CR is passed over before one).
std::string CsvField(std::string text)
{
    if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos)
        text.insert(0, "'");
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

}  // namespace

std::optional<YearMonth> ParseYearMonth(std::string_view text)
{
    YearMonth m;
    if (!ReadNumber(text, m.year, 4, 4) || !Take(text, '-') || !ReadNumber(text, m.month, 2, 2) ||
        !text.empty() || m.month < 1 || m.month > 12)
        return {};
    return m;
}

std::optional<LogLine> ParseLogLine(std::string_view line)
{
    // Told by the ending: a host name may itself begin with the marker.
    if (EndsWith(line, kConnected))
        return Split(LogEvent::Connect, line.substr(0, line.size() - kConnected.size()), kHostEnd);
    if (EndsWith(line, kDisconnected))
        return Split(LogEvent::Disconnect, line.substr(0, line.size() - kDisconnected.size()), kHostEnd);
    if (EndsWith(line, kNoteEnd)) {
        const auto note = FindLast(line, std::string(kDisconnected) + std::string(kNoteStart));
        if (note == std::string_view::npos) return {};
        return Split(LogEvent::Disconnect, line.substr(0, note), kHostEnd);
    }
    if (!EndsWith(line, kViolationEnd) || !line.starts_with(kViolationMark)) return {};
    // The marker, then nothing or blanks up to the next print zone.
    line.remove_prefix(kViolationMark.size());
    while (line.starts_with(' ')) line.remove_prefix(1);
    return Split(LogEvent::Violation, line.substr(0, line.size() - kViolationEnd.size()), kViolationHostEnd);
}

std::vector<LogLine> ReadLog(const std::string& logFile)
{
    // Years of an office's log fit many times over; anything larger is not one.
    constexpr std::size_t kMostLogBytes = 256u * 1024 * 1024;
    std::vector<LogLine> lines;
    ParseLines(ReadWhole(logFile, kMostLogBytes), [&](LogLine& line) { lines.push_back(std::move(line)); });
    return lines;
}

std::vector<LogLine> ReadRotatedLog(const std::string& logFile)
{
    // Nothing when the file does not exist.
    auto readIfThere = [](const std::string& file) -> std::optional<std::vector<LogLine>> {
        try {
            return ReadLog(file);
        } catch (const FileError& e) {
            if (e.error() != ENOENT) throw;
            return {};
        }
    };
    std::vector<std::vector<LogLine>> older;  // newest first
    for (int n = 1; auto lines = readIfThere(logFile + "." + std::to_string(n)); ++n) older.push_back(std::move(*lines));
    std::vector<LogLine> all;
    for (auto file = older.rbegin(); file != older.rend(); ++file)
        all.insert(all.end(), std::make_move_iterator(file->begin()), std::make_move_iterator(file->end()));
    std::vector<LogLine> current = older.empty() ? ReadLog(logFile) : readIfThere(logFile).value_or(std::vector<LogLine>{});
    all.insert(all.end(), std::make_move_iterator(current.begin()), std::make_move_iterator(current.end()));
    return all;
}

std::optional<LocalDateTime> LastConnect(const std::string& logFile, const std::string& host, LogLookBack lookBack)
{
    std::optional<LocalDateTime> since;
    ReadBackwards(logFile, lookBack.chunkBytes, lookBack.mostBytes, [&](std::string_view piece) {
        ParseLines(piece, [&](const LogLine& line) {
            if (line.event == LogEvent::Connect && line.host == host) since = line.when;
        });
        return since.has_value();
    });
    return since;
}

std::int64_t SecondsBetween(const LocalDateTime& from, const LocalDateTime& to)
{
    using namespace std::chrono;
    auto seconds = [](const LocalDateTime& t) {
        const sys_days date = year(t.year) / month(unsigned(t.month)) / day(unsigned(t.day));
        return std::int64_t(date.time_since_epoch().count()) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
    };
    return seconds(to) - seconds(from);
}

MonthReport BuildMonthReport(const std::vector<LogLine>& log, YearMonth month, const LocalDateTime& now)
{
    std::map<std::string, ComputerTotals> computers;
    std::map<std::string, LocalDateTime> openSince;
    auto close = [&](const std::string& host, const LocalDateTime& since, const LocalDateTime& end) {
        if (!SameMonth(since, month)) return static_cast<ComputerTotals*>(nullptr);
        ComputerTotals& c = computers[host];
        c.host = host;
        ++c.connections;
        // Computers' clocks differ; a disconnect "before" its connect counts nothing.
        c.connectedSeconds += std::max<std::int64_t>(0, SecondsBetween(since, end));
        return &c;
    };
    for (const LogLine& line : log) {
        auto open = openSince.find(line.host);
        switch (line.event) {
        case LogEvent::Connect:
            if (open != openSince.end()) {
                if (ComputerTotals* c = close(line.host, open->second, line.when)) ++c->unclosed;
                open->second = line.when;
            } else {
                openSince.emplace(line.host, line.when);
            }
            break;
        case LogEvent::Disconnect:
            // A disconnect without its connect (a log begun mid-connection) counts nothing.
            if (open != openSince.end()) {
                close(line.host, open->second, line.when);
                openSince.erase(open);
            }
            break;
        case LogEvent::Violation:
            if (SameMonth(line.when, month)) {
                ComputerTotals& c = computers[line.host];
                c.host = line.host;
                ++c.violations;
            }
            break;
        }
    }
    for (const auto& [host, since] : openSince)
        if (ComputerTotals* c = close(host, since, now)) c->stillConnected = true;

    MonthReport report{month, {}, {}};
    for (auto& [host, c] : computers) {
        report.total.connections += c.connections;
        report.total.connectedSeconds += c.connectedSeconds;
        report.total.violations += c.violations;
        report.total.unclosed += c.unclosed;
        report.total.stillConnected = report.total.stillConnected || c.stillConnected;
        report.computers.push_back(std::move(c));
    }
    return report;
}

std::string DurationText(std::int64_t seconds)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld:%02d:%02d", static_cast<long long>(seconds / 3600),
                  int(seconds / 60 % 60), int(seconds % 60));
    return buf;
}

std::string TerminalSafe(std::string_view text, bool keepLineBreaks)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0, n = 1; i < text.size(); i += n) {
        n = Utf8SequenceLength(text.substr(i));
        const auto lead = static_cast<unsigned char>(text[i]);
        const bool control = (lead < 0x20 && !(keepLineBreaks && lead == '\n')) || lead == 0x7F ||
                             (n == 2 && lead == 0xC2 && static_cast<unsigned char>(text[i + 1]) <= 0x9F);
        if (!control) out += text.substr(i, n);
        for (std::size_t k = i; control && k < i + n; ++k) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", static_cast<unsigned char>(text[k]));
            out += buf;
        }
    }
    return out;
}

std::string ReportText(const MonthReport& report)
{
    std::vector<std::vector<std::string>> rows{{"コンピュータ", "接続回数", "接続時間", "違反", ""}};
    auto add = [&](const std::string& name, const ComputerTotals& c) {
        rows.push_back({TerminalSafe(name), std::to_string(c.connections), DurationText(c.connectedSeconds),
                        std::to_string(c.violations), Marks(c)});
    };
    for (const auto& c : report.computers) add(c.host, c);
    add("合計", report.total);

    std::size_t widths[5] = {};
    for (const auto& row : rows)
        for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], DisplayWidth(row[i]));
    char title[64];
    std::snprintf(title, sizeof title, "%04d年%02d月の接続\n", report.month.year, report.month.month);
    std::string out = title;
    for (const auto& row : rows) {
        std::string line = Padded(row[0], widths[0], false);
        for (std::size_t i = 1; i < 4; ++i) line += "  " + Padded(row[i], widths[i], true);
        line += " " + row[4];
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out += line + "\n";
    }
    if (report.total.stillConnected) out += "* 接続中: 今までの時間を含みます\n";
    if (report.total.unclosed) out += "! 切断の記録がない接続: 次の接続までの時間を含みます\n";
    return out;
}

std::string ReportCsv(const MonthReport& report)
{
    std::string out = "\xEF\xBB\xBFコンピュータ,接続回数,接続秒数,接続時間,違反回数,接続中,未切断\r\n";
    auto add = [&](const std::string& name, const ComputerTotals& c) {
        out += CsvField(name) + "," + std::to_string(c.connections) + "," + std::to_string(c.connectedSeconds) +
               "," + DurationText(c.connectedSeconds) + "," + std::to_string(c.violations) + "," +
               (c.stillConnected ? "1" : "0") + "," + std::to_string(c.unclosed) + "\r\n";
    };
    for (const auto& c : report.computers) add(c.host, c);
    add("合計", report.total);
    return out;
}

}  // namespace kesrow
