#include "ui/about_box.h"

#include <gtest/gtest.h>

#include <regex>

#include "fake_ui.h"
#include "running_copy.h"
#include "ui/about_texts.h"

namespace kesrow::testing {
namespace {

using Calls = std::vector<std::string>;
using Bytes = std::vector<unsigned char>;

constexpr std::uint32_t HKLM = 0x80000002;
const std::string kFirstKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kSecondKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const std::string kUnavailable = "msgbox 0 ケスロウ | 現時点ではｼｽﾃﾑ情報を使用できません";
const std::string kOpenFirst = "reg.open 0x80000002 " + kFirstKey + " 0 0x20019";
const std::string kOpenSecond = "reg.open 0x80000002 " + kSecondKey + " 0 0x20019";

struct AboutBox : ::testing::Test {
    FakePlatform fake;
    FakeRegistry registry{fake.calls};
    FakeLauncher launcher{fake.calls};
    frmAbout about{fake, registry, launcher};
};

TEST_F(AboutBox, PathUnderTheFirstKeyStartsTheToolWithoutReadingTheSecondKey)
{
    registry.setString(HKLM, kFirstKey, "PATH", "C:\\Tools\\msinfo32.exe");
    registry.setString(HKLM, kSecondKey, "MSINFO", "C:\\Other");
    launcher.startable = {"C:\\Tools\\msinfo32.exe"};
    about.StartSysInfo();
    EXPECT_EQ(fake.calls, (Calls{kOpenFirst, "reg.query 100 PATH 1024/1024 zeroed", "reg.close 100",
                                 "start C:\\Tools\\msinfo32.exe 1"}));
}

TEST_F(AboutBox, FolderUnderTheSecondKeyIsUsedWhenItHoldsTheTool)
{
    registry.setString(HKLM, kSecondKey, "MSINFO", "C:\\Shared");
    launcher.files = {"C:\\Shared\\MSINFO32.EXE"};
    launcher.startable = {"C:\\Shared\\MSINFO32.EXE"};
    about.StartSysInfo();
    EXPECT_EQ(fake.calls, (Calls{kOpenFirst, "reg.close 0", kOpenSecond, "reg.query 100 MSINFO 1024/1024 zeroed",
                                 "reg.close 100", "find C:\\Shared\\MSINFO32.EXE",
                                 "start C:\\Shared\\MSINFO32.EXE 1"}));
}

TEST_F(AboutBox, FolderWithoutTheToolGivesTheMessage)
{
    registry.setString(HKLM, kSecondKey, "MSINFO", "C:\\Shared");
    about.StartSysInfo();
    EXPECT_EQ(fake.calls.back(), kUnavailable);
    EXPECT_EQ(fake.callsStartingWith("start"), Calls{});
    EXPECT_EQ(fake.callsStartingWith("msgbox").size(), 1u);
}

TEST_F(AboutBox, NeitherKeyGivesTheMessage)
{
    about.StartSysInfo();
    EXPECT_EQ(fake.calls, (Calls{kOpenFirst, "reg.close 0", kOpenSecond, "reg.close 0", kUnavailable}));
}

TEST_F(AboutBox, AKeyThatRefusesReadingCountsAsAbsent)
{
    registry.grantedAccess = 0;
    registry.setString(HKLM, kFirstKey, "PATH", "/usr/bin/tool");
    about.StartSysInfo();
    EXPECT_EQ(fake.calls.back(), kUnavailable);
}

TEST_F(AboutBox, AnotherValueTypeLeavesThePathEmptySoStartingFailsIntoTheMessage)
{
    registry.setString(HKLM, kFirstKey, "PATH", "%SystemRoot%\\msinfo32.exe", 2);  // REG_EXPAND_SZ
    registry.setString(HKLM, kSecondKey, "MSINFO", "C:\\Shared");
    std::string text = "before";
    EXPECT_TRUE(about.GetKeyValue(HKLM, kFirstKey, "PATH", text));
    EXPECT_EQ(text, "before");

    fake.calls.clear();
    about.StartSysInfo();
    EXPECT_EQ(fake.calls, (Calls{kOpenFirst, "reg.query 100 PATH 1024/1024 zeroed", "reg.close 100", "start  1",
                                 kUnavailable}));
}

TEST_F(AboutBox, AValueThatFillsTheBufferWithoutANulGivesTheMessage)
{
    registry.setBytes(HKLM, kFirstKey, "PATH", 1, Bytes(1024, 'x'));
    about.StartSysInfo();
    EXPECT_EQ(fake.calls, (Calls{kOpenFirst, "reg.query 100 PATH 1024/1024 zeroed", "reg.close 100", kUnavailable}));
}

TEST_F(AboutBox, AValueLongerThanTheBufferOrAbsentIsNotRead)
{
    registry.setBytes(HKLM, kFirstKey, "PATH", 1, Bytes(1025, 'x'));
    std::string text = "stale";
    EXPECT_FALSE(about.GetKeyValue(HKLM, kFirstKey, "PATH", text));
    EXPECT_EQ(text, "");
    EXPECT_EQ(fake.calls.back(), "reg.close 100");
    text = "stale";
    EXPECT_FALSE(about.GetKeyValue(HKLM, kFirstKey, "absent", text));
    EXPECT_EQ(text, "");
}

TEST_F(AboutBox, AStringIsCutAtItsFirstNulEvenWhenStoredWithoutOne)
{
    registry.setBytes(HKLM, kFirstKey, "A", 1, Bytes{'/', 'b', 'i', 'n'});
    registry.setBytes(HKLM, kFirstKey, "B", 1, Bytes{'a', 0, 'b', 0});
    registry.setBytes(HKLM, kFirstKey, "C", 1, Bytes(1023, 'y'));
    std::string text;
    EXPECT_TRUE(about.GetKeyValue(HKLM, kFirstKey, "A", text));
    EXPECT_EQ(text, "/bin");
    EXPECT_TRUE(about.GetKeyValue(HKLM, kFirstKey, "B", text));
    EXPECT_EQ(text, "a");
    EXPECT_TRUE(about.GetKeyValue(HKLM, kFirstKey, "C", text));
    EXPECT_EQ(text, std::string(1023, 'y'));
}

TEST_F(AboutBox, ADwordReadsAsTheNumberOfItsBytesUpToTheFirstNul)
{
    const std::pair<Bytes, std::string> cases[] = {
        {{0x2A, 0, 0, 0}, "42"},                  // &h2A
        {{0x34, 0x12, 0, 0}, "4660"},             // &h1234
        {{0x0D, 0x0C, 0x0B, 0x0A}, "43981"},      // &hABCD: no leading zero per byte
        {{0xFF, 0xFF, 0xFF, 0xFF}, "4294967295"}, // &hFFFFFFFF
        {{0, 1, 0, 0}, "&h"},                     // nothing before the first NUL: no number
    };
    for (const auto& [bytes, expected] : cases) {
        registry.setBytes(HKLM, kFirstKey, "V", 4, bytes);
        std::string text;
        EXPECT_TRUE(about.GetKeyValue(HKLM, kFirstKey, "V", text));
        EXPECT_EQ(text, expected);
    }
}

TEST(DwordValueText, DigitsFollowWhatTheTextHeld)
{
    EXPECT_EQ(DwordValueText("1", "\x02"), "18");     // &h12
    EXPECT_EQ(DwordValueText("zz", "\x02"), "&hzz2");  // no number: left as text
}

TEST(AboutBoxMenu, TheButtonRunsTheLookupWhileTheBoxIsOpen)
{
    RunningCopy copy;
    copy.forms.sysInfoPresses = 2;
    copy.menu.m_about_Click();
    EXPECT_EQ(copy.fake.calls, (Calls{"about", kOpenFirst, "reg.close 0", kOpenSecond, "reg.close 0", kUnavailable,
                                      kOpenFirst, "reg.close 0", kOpenSecond, "reg.close 0", kUnavailable,
                                      "about closed"}));
}

TEST(AboutTexts, DisclaimerPartsAreSeparatedBy35And18Blanks)
{
    const std::string text = kAboutDisclaimer;
    const std::regex parts("(.+?)( {35})([^ ].*?)( {18})([^ ].*)");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(text, m, parts)) << text;
    EXPECT_EQ(m[1], "ケスロウ（ダイアルアップ使用通知ソフト）");
    EXPECT_EQ(m[3].str().find("  "), std::string::npos);
    EXPECT_EQ(m[5].str().find("  "), std::string::npos);
}

}  // namespace
}  // namespace kesrow::testing
