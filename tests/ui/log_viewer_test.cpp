#include "ui/log_viewer.h"

#include <gtest/gtest.h>

#include <cstring>

#include "running_copy.h"

namespace kesrow::testing {
namespace {

using Calls = std::vector<std::string>;

// What the viewer shows for a log holding bytes.
std::string ShownText(const std::string& bytes)
{
    TempDir dir;
    WriteBytes(dir.file("kesrow.log"), bytes);
    FakePlatform fake;
    logtimes viewer(dir.file("kesrow.log"), fake);
    EXPECT_TRUE(viewer.Form_Load());
    EXPECT_TRUE(fake.calls.empty());
    return viewer.Text1();
}

TEST(LogViewer, EachLineFollowsACrLf)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"PC01\x82\xAA\x81\x41 1998/09/03 10:15:00 \x90\xDA\x91\xB1\r\n"
         "PC01\x82\xAA\x81\x41 1998/09/03 10:20:00 \x90\xD8\x92\x66\r\n"
         "\x81\xA6\x81\xA6\x81\xA6\x81\xA6 PC02\r\n",
         "\r\nPC01が、 1998/09/03 10:15:00 接続"
         "\r\nPC01が、 1998/09/03 10:20:00 切断"
         "\r\n※※※※ PC02"},
        {"one\r\ntwo", "\r\none\r\ntwo"},                                        // a last line without line end
        {"first\r\nhand,typed\r\nlast\r\n", "\r\nfirst\r\nhand\r\ntyped\r\nlast"},  // a comma splits a line
        {"A\xFF" "B\r\n\x82\r\n", "\r\nA\xEF\xBF\xBD" "B\r\n\xEF\xBF\xBD"},      // not code page 932
    };
    for (const auto& [bytes, shown] : cases) EXPECT_EQ(ShownText(bytes), shown);
}

TEST(LogViewer, AMissingOrUnreadableLogIsReportedAndTheProgramKeepsRunning)
{
    RunningCopy copy;
    copy.menu.m_rog_Click();
    copy.settle();
    std::filesystem::create_directory(copy.server.file("kesrow.log"));
    copy.form.RunEvent([&] { copy.menu.m_rog_Click(); });
    copy.settle();
    const std::string prefix = "msgbox 48 ケスロウ | 接続ログを読み込めません。\r";
    EXPECT_EQ(copy.fake.calls,
              (Calls{prefix + copy.server.file("kesrow.log") + ": " + std::strerror(ENOENT),
                     prefix + copy.server.file("kesrow.log") + ": " + std::strerror(EISDIR)}));
    EXPECT_TRUE(copy.forms.logTexts.empty());
}

TEST(LogViewer, EachOpeningReadsTheLogAfresh)
{
    RunningCopy copy;
    WriteBytes(copy.server.file("kesrow.log"), "a\r\n");
    copy.menu.m_rog_Click();
    copy.settle();
    WriteBytes(copy.server.file("kesrow.log"), "a\r\nb\r\n");
    copy.menu.m_rog_Click();
    copy.settle();
    EXPECT_EQ(copy.forms.logTexts, (Calls{"\r\na", "\r\na\r\nb"}));
}

}  // namespace
}  // namespace kesrow::testing
