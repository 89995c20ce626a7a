// The month report against a hand-made log whose totals are known: a month
// boundary, two connects in a row, a connection still open, violations,
// names with a comma (lines quoted) or a leading ※, lines to pass over.
#include <gtest/gtest.h>

#include <tuple>

#include "core/codepage.h"
#include "core/log_report.h"
#include "core/shared_files.h"
#include "fake_platform.h"

namespace kesrow {
namespace {

using testing::TempDir;
using testing::WriteBytes;

// Written as the copies write it, in code page 932 with CR LF.
constexpr const char* kLog[] = {
    "PC01が、 2026/10/31 23:00:00 接続",
    "※※※※ PC03の接続違反が 2026/10/31 23:30:00 にありました",
    "PC01が、 2026/11/01 1:00:00 切断",  // two hours, all of them October's
    "PC02が、 2026/11/02 10:00:00 接続",
    "PC02が、 2026/11/02 10:30:00 接続",  // no disconnect before it: the first lasts 30 minutes
    "※※※※       PC03の接続違反が 2026/11/02 10:45:00 にありました",
    "PC02が、 2026/11/02 11:00:00 切断",
    "\"PC,1が、 2026/11/03 9:00:00 接続\"",  // a comma in the name: the line is one quoted field
    "\"※※※※ PC,1の接続違反が 2026/11/03 9:10:00 にありました\"",
    "\"PC,1が、 2026/11/03 9:4",  // torn, then ended by the next append: it keeps to its line
    "\"PC,1が、 2026/11/03 9:30:00 切断\"",
    "※PC07が、 2026/11/04 9:00:00 接続",  // the marker begins the name: still a connect
    "※※※※ ※PC07の接続違反が 2026/11/04 9:05:00 にありました",
    "※PC07が、 2026/11/04 10:00:00 切断",
    "PC06が、 2026/11/04 -9:-5:-1 接続",  // a sign is no digit
    "PC03が、 2026/11/05 9:00:00 切断",  // no connect before it: nothing
    "PC05が、 2026/11/10 接続",          // midnight: the date alone
    "PC05が、 2026/11/10 0:10:00 切断（PC02が引き継ぎ）",  // written by the computer that took the line over
    "PC04が、 2026/11/31 1:00:00 接続",  // no such day
    "connection log",
    "PC01が、 2026/11/30 11:00:00 接続",  // still open at noon
};
constexpr LocalDateTime kNow{2026, 11, 30, 12, 0, 0};

constexpr const char* kHead = "\xEF\xBB\xBFコンピュータ,接続回数,接続秒数,接続時間,違反回数,接続中,未切断\r\n";

// kLog in a real file; its name.
std::string WriteLog(const TempDir& dir)
{
    std::string bytes;
    for (const char* line : kLog) bytes += ToCp932(line) + "\r\n";
    WriteBytes(dir.file("kesrow.log"), bytes);
    return dir.file("kesrow.log");
}

TEST(LogReport, MonthTotalsFromAHandMadeLog)
{
    TempDir dir;
    const auto log = ReadLog(WriteLog(dir));
    const std::pair<YearMonth, std::string> months[] = {
        {{2026, 11}, "\"PC,1\",1,1800,0:30:00,1,0,0\r\nPC01,1,3600,1:00:00,0,1,0\r\nPC02,2,3600,1:00:00,0,0,1\r\n"
                     "PC03,0,0,0:00:00,1,0,0\r\nPC05,1,600,0:10:00,0,0,0\r\n※PC07,1,3600,1:00:00,1,0,0\r\n"
                     "合計,6,13200,3:40:00,3,1,1\r\n"},
        {{2026, 10}, "PC01,1,7200,2:00:00,0,0,0\r\nPC03,0,0,0:00:00,1,0,0\r\n合計,1,7200,2:00:00,1,0,0\r\n"},
        {{2026, 12}, "合計,0,0,0:00:00,0,0,0\r\n"},
    };
    for (const auto& [month, rows] : months)
        EXPECT_EQ(ReportCsv(BuildMonthReport(log, month, kNow)), kHead + rows) << month.year << "-" << month.month;
    EXPECT_EQ(ReportText(BuildMonthReport(log, {2026, 11}, kNow)),
              "2026年11月の接続\n"
              "コンピュータ  接続回数  接続時間  違反\n"
              "PC,1                 1   0:30:00     1\n"
              "PC01                 1   1:00:00     0 *\n"
              "PC02                 2   1:00:00     0 !\n"
              "PC03                 0   0:00:00     1\n"
              "PC05                 1   0:10:00     0\n"
              "※PC07               1   1:00:00     1\n"
              "合計                 6   3:40:00     3 *!\n"
              "* 接続中: 今までの時間を含みます\n"
              "! 切断の記録がない接続: 次の接続までの時間を含みます\n");
}

// --status reads the log from its end back, in pieces of whole lines: the
// connect lines the whole read finds, wherever the pieces are cut, and none
// that begins before the bound.
TEST(LogReport, LastConnectReadsTheEndAsTheWholeLogIsRead)
{
    TempDir dir;
    const std::string file = WriteLog(dir);
    auto text = [](std::optional<LocalDateTime> t) { return t ? DateTimeText(*t) : "-"; };
    for (const char* host : {"PC01", "PC02", "PC,1", "※PC07", "PC03", "PC06"}) {
        std::optional<LocalDateTime> whole;
        for (const LogLine& line : ReadLog(file))
            if (line.event == LogEvent::Connect && line.host == host) whole = line.when;
        for (std::size_t chunk : {80, 81, 97, 4096})
            EXPECT_EQ(text(LastConnect(file, host, {chunk, 4096})), text(whole)) << host << " " << chunk;
    }
    const std::uint64_t lastLine = ToCp932(kLog[std::size(kLog) - 1]).size() + 2;
    EXPECT_EQ(text(LastConnect(file, "PC01", {80, lastLine})), "2026/11/30 11:00:00");
    EXPECT_EQ(text(LastConnect(file, "PC01", {80, lastLine - 1})), "-");
}

TEST(LogReport, NamesFromTheShareAreSafeOnATerminalAndInASpreadsheet)
{
    std::vector<LogLine> log;
    for (const char* host : {"\x1b]0;x\aPC", "=cmd,\"x\"", "\tPC", "\r=1"})
        log.push_back({LogEvent::Violation, host, {2026, 11, 1, 9, 0, 0}});
    const MonthReport report = BuildMonthReport(log, {2026, 11}, kNow);
    EXPECT_NE(ReportText(report).find("\\x1B]0;x\\x07PC"), std::string::npos);
    for (const char* cell : {"\r\n\"'=cmd,\"\"x\"\"\",0,", "\r\n'\tPC,0,", "\r\n\"'\r=1\",0,"})
        EXPECT_NE(ReportCsv(report).find(cell), std::string::npos) << cell;
}

// C0, DEL and C1 (in UTF-8) byte by byte as \xNN; a box keeps its line
// breaks; other text, Japanese and U+00A0 among it, as it is.
TEST(LogReport, TerminalSafeShowsEveryControlCharacter)
{
    const std::tuple<std::string_view, bool, std::string_view> rows[] = {
        {"\x1B]0;x\a\t\r\n", false, "\\x1B]0;x\\x07\\x09\\x0D\\x0A"},
        {"a\r\nb", true, "a\\x0D\nb"},
        {"\x7F\xC2\x7F", false, "\\x7F\xC2\\x7F"},
        {"\xC2\x80\xC2\x9B[2J\xC2\x9F\xC2", true, "\\xC2\\x80\\xC2\\x9B[2J\\xC2\\x9F\xC2"},
        {"経理のPC ｼｽﾃﾑ\xC2\xA0※ \\x1B", false, "経理のPC ｼｽﾃﾑ\xC2\xA0※ \\x1B"}};
    for (const auto& [text, keepLineBreaks, shown] : rows) EXPECT_EQ(TerminalSafe(text, keepLineBreaks), shown) << text;
}

}  // namespace
}  // namespace kesrow
