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

TEST(LogViewer, EmptyLogShowsNothing)
{
    EXPECT_EQ(ShownText(""), "");
}

TEST(LogViewer, EachLineFollowsACrLfAndTheLastHasNone)
{
    EXPECT_EQ(ShownText("PC01\x82\xAA\x81\x41 1998/09/03 10:15:00 \x90\xDA\x91\xB1\r\n"
                        "PC01\x82\xAA\x81\x41 1998/09/03 10:20:00 \x90\xD8\x92\x66\r\n"
                        "\x81\xA6\x81\xA6\x81\xA6\x81\xA6 PC02\r\n"),
              "\r\nPC01が、 1998/09/03 10:15:00 接続"
              "\r\nPC01が、 1998/09/03 10:20:00 切断"
              "\r\n※※※※ PC02");
}

TEST(LogViewer, ALastLineWithoutLineEndIsShownToo)
{
    EXPECT_EQ(ShownText("one\r\ntwo"), "\r\none\r\ntwo");
}

TEST(LogViewer, ACommaSplitsALineInTwo)
{
    EXPECT_EQ(ShownText("first\r\nhand,typed\r\nlast\r\n"), "\r\nfirst\r\nhand\r\ntyped\r\nlast");
}

TEST(LogViewer, BytesThatAreNotCodePage932ShowAsReplacementCharacters)
{
    EXPECT_EQ(ShownText("A\xFF" "B\r\n\x82\r\n"), "\r\nA\xEF\xBF\xBD" "B\r\n\xEF\xBF\xBD");
}

TEST(LogViewer, MissingLogIsReportedAndTheProgramKeepsRunning)
{
    RunningCopy copy;
    copy.menu.m_rog_Click();
    ASSERT_EQ(copy.fake.calls.size(), 1u);
    const std::string& box = copy.fake.calls[0];
    EXPECT_EQ(box.rfind("msgbox 48 ケスロウ | ", 0), 0u) << box;
    EXPECT_NE(box.find(copy.server.file("kesrow.log")), std::string::npos) << box;
    EXPECT_NE(box.find(std::strerror(ENOENT)), std::string::npos) << box;
    EXPECT_TRUE(copy.forms.logTexts.empty());
}

TEST(LogViewer, UnreadableLogIsReportedAndTheProgramKeepsRunning)
{
    RunningCopy copy;
    std::filesystem::create_directory(copy.server.file("kesrow.log"));
    copy.form.RunEvent([&] { copy.menu.m_rog_Click(); });
    ASSERT_EQ(copy.fake.calls.size(), 1u);
    EXPECT_NE(copy.fake.calls[0].find(std::strerror(EISDIR)), std::string::npos) << copy.fake.calls[0];
    EXPECT_TRUE(copy.forms.logTexts.empty());
}

TEST(LogViewer, EachOpeningReadsTheLogAfresh)
{
    RunningCopy copy;
    WriteBytes(copy.server.file("kesrow.log"), "a\r\n");
    copy.menu.m_rog_Click();
    WriteBytes(copy.server.file("kesrow.log"), "a\r\nb\r\n");
    copy.menu.m_rog_Click();
    EXPECT_EQ(copy.forms.logTexts, (Calls{"\r\na", "\r\na\r\nb"}));
}

}  // namespace
}  // namespace kesrow::testing
