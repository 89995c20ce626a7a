#include "ui/tray_menu.h"

#include <gtest/gtest.h>

#include "running_copy.h"

namespace kesrow::testing {
namespace {

using Calls = std::vector<std::string>;

TEST(TrayMenu, RightClickOpensTheFourItemsAtTheEventsPositionWithTheAboutItemAsDefault)
{
    RunningCopy copy;
    copy.menu.IconTray1_RightClick(2, 1234.5f, 0.1f);
    EXPECT_EQ(copy.fake.calls, Calls{"popup"});  // dismissed: nothing else
    EXPECT_EQ(copy.forms.popupItems, (Calls{"接続ログ", "サーバパス", "バージョン情報", "終了"}));
    EXPECT_EQ(copy.forms.popupDefault, 2);
    EXPECT_EQ(copy.forms.popupX, 1234.5f);
    EXPECT_EQ(copy.forms.popupY, 0.1f);
}

TEST(TrayMenu, EachItemRunsItsCommand)
{
    for (int item : {0, 1, 2, 3}) {
        RunningCopy copy;
        WriteBytes(copy.server.file("kesrow.log"), "PC02\r\n");
        const Calls expected[] = {
            {"popup", "logviewer"},
            {"popup", "curdir",
             "input ケスロウ [" + copy.server.prefix() + "] | サーバパスを入力して下さい\r最後は￥でくくること"},
            {"popup", "about", "about closed"},
            {"popup", "tray.remove", "host", "formUnloaded", "end"},
        };
        copy.forms.popupAnswers = {item};
        copy.menu.IconTray1_RightClick(2, 10, 20);
        copy.settle();
        EXPECT_EQ(copy.fake.calls, expected[item]);
        EXPECT_EQ(copy.forms.logTexts, item == 0 ? Calls{"\r\nPC02"} : Calls{});
    }
}

}  // namespace
}  // namespace kesrow::testing
