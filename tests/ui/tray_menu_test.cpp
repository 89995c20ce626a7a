#include "ui/tray_menu.h"

#include <gtest/gtest.h>

#include "running_copy.h"

namespace kesrow::testing {
namespace {

using Calls = std::vector<std::string>;

TEST(TrayMenu, CaptionsAreTheFourItemsWithTheAboutItemAsDefault)
{
    EXPECT_EQ(TrayMenu::Captions(), (Calls{"接続ログ", "サーバパス", "バージョン情報", "終了"}));
    EXPECT_EQ(TrayMenu::kDefaultItem, 2);
}

TEST(TrayMenu, RightClickOpensThePopupAtTheEventsPositionUnchanged)
{
    RunningCopy copy;
    copy.menu.IconTray1_RightClick(2, 1234.5f, 0.1f);
    EXPECT_EQ(copy.fake.calls, Calls{"popup"});
    EXPECT_EQ(copy.forms.popupItems, TrayMenu::Captions());
    EXPECT_EQ(copy.forms.popupDefault, 2);
    EXPECT_EQ(copy.forms.popupX, 1234.5f);
    EXPECT_EQ(copy.forms.popupY, 0.1f);
}

TEST(TrayMenu, DismissedPopupDoesNothing)
{
    RunningCopy copy;
    copy.forms.popupAnswers = {-1};
    copy.menu.IconTray1_RightClick(2, 10, 20);
    EXPECT_EQ(copy.fake.calls, Calls{"popup"});
}

TEST(TrayMenu, FirstItemShowsTheLog)
{
    RunningCopy copy;
    WriteBytes(copy.server.file("kesrow.log"), "PC02\r\n");
    copy.forms.popupAnswers = {0};
    copy.menu.IconTray1_RightClick(2, 10, 20);
    EXPECT_EQ(copy.fake.calls, (Calls{"popup", "logviewer"}));
    EXPECT_EQ(copy.forms.logTexts, Calls{"\r\nPC02"});
}

TEST(TrayMenu, SecondItemAsksForTheServerPath)
{
    RunningCopy copy;
    copy.forms.popupAnswers = {1};
    copy.menu.IconTray1_RightClick(2, 10, 20);
    ASSERT_EQ(copy.fake.calls.size(), 3u);
    EXPECT_EQ(copy.fake.calls[1], "curdir");
    EXPECT_EQ(copy.fake.calls[2].rfind("input ケスロウ [" + copy.server.prefix() + "]", 0), 0u);
}

TEST(TrayMenu, ThirdItemShowsTheAboutBox)
{
    RunningCopy copy;
    copy.forms.popupAnswers = {2};
    copy.menu.IconTray1_RightClick(2, 10, 20);
    EXPECT_EQ(copy.fake.calls, (Calls{"popup", "about", "about closed"}));
}

TEST(TrayMenu, FourthItemUnloadsAndEnds)
{
    RunningCopy copy;
    copy.forms.popupAnswers = {3};
    copy.menu.IconTray1_RightClick(2, 10, 20);
    EXPECT_EQ(copy.fake.calls, (Calls{"popup", "tray.remove 1", "host", "formUnloaded", "end"}));
}

TEST(TrayMenu, ExitWhileThisComputerHoldsTheLineReleasesIt)
{
    RunningCopy copy("PC01\r\n");
    copy.menu.Choose(3);
    EXPECT_EQ(ReadBytes(copy.server.file("kesrow.txt")), "OK\r\n");
    EXPECT_EQ(ReadBytes(copy.server.file("kesrow.log")),
              "PC01\x82\xAA\x81\x41 1998/09/03 10:15:00 \x90\xD8\x92\x66\r\n");
    EXPECT_EQ(copy.fake.calls.back(), "end");
}

}  // namespace
}  // namespace kesrow::testing
