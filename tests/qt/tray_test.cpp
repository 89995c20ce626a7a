// The tray icon and its image list, the popup menu, and the window that
// stands in for the icon on desktops without a notification area.
#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QMenu>
#include <QMenuBar>
#include <QSystemTrayIcon>
#include <gtest/gtest.h>
#include <stdexcept>

#include "modal.h"
#include "platform/qt/fallback_window.h"
#include "platform/qt/pictures.h"
#include "platform/qt/qt_forms.h"
#include "platform/qt/qt_tray_icon.h"

namespace kesrow::qt {
namespace {

TEST(TrayIcon, AddShowsTheImageAndTooltipRemoveHidesIt)
{
    QMenu menu;
    QtTrayIcon tray(&menu);
    tray.setImageList(tray.imageListHandle());
    tray.add(1, 1, "ダイアルアップ接続している人はいません");
    const QSystemTrayIcon* icon = tray.shown(1);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->toolTip(), "ダイアルアップ接続している人はいません");
    EXPECT_EQ(icon->contextMenu(), &menu);
    const QImage normal = icon->icon().pixmap(32, 32).toImage();

    tray.remove(1);
    EXPECT_EQ(tray.shown(1), nullptr);
    tray.add(1, 2, "ダイアルアップにPC02さんが接続中");
    ASSERT_NE(tray.shown(1), nullptr);
    EXPECT_EQ(tray.shown(1)->toolTip(), "ダイアルアップにPC02さんが接続中");
    EXPECT_NE(tray.shown(1)->icon().pixmap(32, 32).toImage(), normal);
}

TEST(TrayIcon, RemovingAnAbsentIconIsHarmless)
{
    QtTrayIcon tray;
    EXPECT_NO_THROW(tray.remove(1));
    tray.setImageList(tray.imageListHandle());
    tray.add(1, 1, "a");
    tray.remove(1);
    EXPECT_NO_THROW(tray.remove(1));
    EXPECT_EQ(tray.shown(1), nullptr);
}

TEST(TrayIcon, RefusesAnUnknownListABadIndexAndAnAddBeforeTheList)
{
    QtTrayIcon tray;
    EXPECT_THROW(tray.add(1, 1, "a"), std::logic_error);
    EXPECT_THROW(tray.setImageList(tray.imageListHandle() + 1), std::invalid_argument);
    tray.setImageList(tray.imageListHandle());
    EXPECT_THROW(tray.add(1, 0, "a"), std::out_of_range);
    EXPECT_THROW(tray.add(1, 3, "a"), std::out_of_range);
    EXPECT_EQ(tray.shown(1), nullptr);
}

TEST(TrayIcon, ChangesInPlaceWhenAnAddFollowsARemove)
{
    QtTrayIcon tray;
    QStringList seen;
    tray.onChange = [&](const QIcon& picture, const QString& tip) {
        seen << (picture.isNull() ? QStringLiteral("none") : tip);
    };
    tray.setImageList(tray.imageListHandle());
    tray.add(1, 1, "free");
    const QSystemTrayIcon* first = tray.shown(1);
    tray.remove(1);
    tray.add(1, 2, "held");
    QCoreApplication::processEvents();
    EXPECT_EQ(tray.shown(1), first);  // the same icon, never hidden
    EXPECT_EQ(first->toolTip(), "held");
    tray.remove(1);
    EXPECT_EQ(tray.shown(1), nullptr);
    tray.remove(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(tray.shown(1), nullptr);
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

TEST(TrayImages, NormalPictureDiffersClearly)
{
    const QImage normal = NormalTrayImage().convertToFormat(QImage::Format_ARGB32);
    const QImage sign = ProhibitionTrayImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(normal.size(), QSize(32, 32));
    int differing = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) differing += normal.pixel(x, y) != sign.pixel(x, y);
    EXPECT_GT(differing, 200);
    EXPECT_TRUE(Transparent(normal, 0, 0));
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

// Opens the popup and, once it is up, runs choose on it.
int Popup(std::function<void(QMenu*)> choose)
{
    QTimer::singleShot(50, [choose] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) {
            ADD_FAILURE() << "no popup";
            return;
        }
        choose(menu);
    });
    QWidget owner;
    QtForms forms(&owner);
    return forms.popupMenu({"接続ログ", "サーバパス", "バージョン情報", "終了"}, 2, 1200.f, 900.f);
}

TEST(PopupMenu, ReturnsTheChosenIndexOrMinusOne)
{
    for (int item : {3, 0}) {
        EXPECT_EQ(Popup([item](QMenu* menu) {
            menu->setActiveAction(menu->actions()[item]);
            testing::PressKey(menu, Qt::Key_Return);
        }), item);
    }
    EXPECT_EQ(Popup([](QMenu* menu) { testing::PressKey(menu, Qt::Key_Escape); }), -1);
}

TEST(FallbackWindow, StandsInForTheIconAndOffersEveryCommand)
{
    FallbackWindow window({"接続ログ", "サーバパス", "バージョン情報", "終了"}, 2);
    EXPECT_EQ(window.windowTitle(), "ケスロウ");
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
    const QList<QAction*> bar = window.menuBar()->actions();
    ASSERT_EQ(bar.size(), 1);
    EXPECT_EQ(bar[0]->text(), "終了(&X)");
    bar[0]->trigger();
    window.close();
    EXPECT_EQ(ran, (QStringList{"2", "MenuEnd", "close"}));
}

}  // namespace
}  // namespace kesrow::qt
