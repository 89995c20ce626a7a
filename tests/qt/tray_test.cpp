// The tray icon, the popup menu, and the window that
// stands in for the icon on desktops without a notification area.
#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QMenu>
#include <QSystemTrayIcon>
#include <gtest/gtest.h>

#include "platform/qt/fallback_window.h"
#include "platform/qt/pictures.h"
#include "platform/qt/qt_forms.h"
#include "platform/qt/qt_tray_icon.h"

namespace kesrow::qt {
namespace {

TEST(TrayIcon, AddShowsImageTooltipAndMenuAndChangesInPlaceWhenAnAddFollowsARemove)
{
    QMenu menu;
    QtTrayIcon tray(&menu);
    EXPECT_NO_THROW(tray.remove());  // nothing shown yet
    QStringList seen;
    tray.onChange = [&](const QIcon& picture, const QString& tip) {
        seen << (picture.isNull() ? QStringLiteral("none") : tip);
    };
    tray.add(TrayImage::Normal, "free");
    const QSystemTrayIcon* first = tray.shown();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->toolTip(), "free");
    EXPECT_EQ(first->contextMenu(), &menu);
    const QImage normal = first->icon().pixmap(32, 32).toImage();
    tray.remove();
    tray.add(TrayImage::Prohibition, "held");
    QCoreApplication::processEvents();
    EXPECT_EQ(tray.shown(), first);  // the same icon, never hidden
    EXPECT_EQ(first->toolTip(), "held");
    EXPECT_NE(first->icon().pixmap(32, 32).toImage(), normal);
    tray.remove();
    EXPECT_EQ(tray.shown(), nullptr);
    tray.remove();
    QCoreApplication::processEvents();
    EXPECT_EQ(tray.shown(), nullptr);
    EXPECT_EQ(seen, (QStringList{"free", "held", "none"}));
}

bool Transparent(const QImage& image, int x, int y) { return qAlpha(image.pixel(x, y)) == 0; }
bool Black(const QImage& image, int x, int y) { return image.pixel(x, y) == qRgb(0, 0, 0); }
bool White(const QImage& image, int x, int y) { return image.pixel(x, y) == qRgb(255, 255, 255); }

TEST(TrayImages, ProhibitionSignIsABlackRingAndBarOutlinedInWhite)
{
    const QImage sign = ProhibitionTrayImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(sign.size(), QSize(32, 32));
    EXPECT_TRUE(Black(sign, 16, 16));  // the bar's middle
    EXPECT_TRUE(Black(sign, 11, 11));  // the bar, upper left
    EXPECT_TRUE(Black(sign, 21, 21));  // the bar, lower right
    EXPECT_FALSE(Black(sign, 21, 11));  // nothing on the other diagonal
    EXPECT_TRUE(Black(sign, 16, 5));   // the ring, top
    EXPECT_TRUE(Black(sign, 5, 16));   // the ring, left
    EXPECT_TRUE(White(sign, 16, 1));   // its white outline
    EXPECT_TRUE(White(sign, 1, 16));
    EXPECT_TRUE(Transparent(sign, 0, 0));
    EXPECT_TRUE(Transparent(sign, 31, 31));
    EXPECT_TRUE(Transparent(sign, 19, 12));  // inside the ring, off the bar
}

TEST(PopupMenu, HasTheItemsInOrderTheDefaultBoldAndNoSeparators)
{
    QMenu menu;
    FillMenu(&menu, {"接続ログ", "サーバパス", "バージョン情報", "終了"}, 2);
    const QList<QAction*> actions = menu.actions();
    ASSERT_EQ(actions.size(), 4);
    QStringList captions;
    for (QAction* a : actions) {
        captions << a->text();
        EXPECT_FALSE(a->isSeparator());
        EXPECT_FALSE(a->isCheckable());
        EXPECT_EQ(a->font().bold(), a == actions[2]) << a->text().toStdString();
    }
    EXPECT_EQ(captions, (QStringList{"接続ログ", "サーバパス", "バージョン情報", "終了"}));
    EXPECT_EQ(menu.defaultAction(), actions[2]);
}

TEST(FallbackWindow, StandsInForTheIconAndOffersEveryCommand)
{
    // Its title, first button and 終了(&X) are used for real in the desktop test.
    FallbackWindow window({"接続ログ", "サーバパス", "バージョン情報", "終了"}, 2);
    EXPECT_FALSE(window.isVisible());  // nothing shows before start-up adds the icon
    window.showStatus(QIcon(QPixmap::fromImage(NormalTrayImage())), "ダイアルアップ接続している人はいません");
    EXPECT_TRUE(window.isVisible());
    EXPECT_NE(window.findChild<QLabel*>(), nullptr);

    QStringList ran;
    window.onCommand = [&](int i) { ran << QString::number(i); };
    window.MenuEnd_Click = [&] { ran << "MenuEnd"; };
    window.onClose = [&] { ran << "close"; };
    for (auto* button : window.findChildren<QPushButton*>())
        if (button->text() == "バージョン情報") button->click();
    window.close();
    EXPECT_EQ(ran, (QStringList{"2", "close"}));
}

}  // namespace
}  // namespace kesrow::qt
