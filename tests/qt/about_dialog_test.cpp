// frmAbout on screen: every caption, its frame, colours and keys.
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include "modal.h"
#include "platform/qt/about_dialog.h"
#include "platform/qt/qt_forms.h"

namespace kesrow::qt {
namespace {

using testing::OnModal;

QLabel* Label(const QDialog& form, const char* name)
{
    auto* label = form.findChild<QLabel*>(QString::fromLatin1(name));
    EXPECT_NE(label, nullptr) << name;
    return label;
}

TEST(AboutDialog, ShowsItsFixedTexts)
{
    AboutDialog about({}, nullptr);
    EXPECT_EQ(about.windowTitle(), "ケスロウのﾊﾞｰｼﾞｮﾝ情報");
    EXPECT_EQ(Label(about, "lblTitle")->text(), "ケスロウ");
    EXPECT_EQ(Label(about, "Label1")->text(), "ﾊﾞｰｼﾞｮﾝ 3.0.0.0");
    EXPECT_EQ(Label(about, "lblVersion")->text(), "※サーバには kesrow.txt と kesrow.log が必要です");
    const QStringList disclaimer = Label(about, "lblDisclaimer")->text().split('\n');
    ASSERT_EQ(disclaimer.size(), 3);
    EXPECT_EQ(disclaimer[0], "ケスロウ（ダイアルアップ使用通知ソフト）");
    EXPECT_EQ(about.cmdOK()->text(), "OK");
    EXPECT_EQ(about.cmdSysInfo()->text(), "ｼｽﾃﾑ情報(&S)...");
}

TEST(AboutDialog, HistoryIsElevenLinesInAGreyReadOnlyBox)
{
    AboutDialog about({}, nullptr);
    QPlainTextEdit* box = about.Text1();
    const QStringList lines = box->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 12);  // eleven lines, each ended
    EXPECT_EQ(lines[0], "バージョンアップにあたっての修正情報 アベンド、ユーザ名入力");
    EXPECT_EQ(lines[1], "画");
    EXPECT_EQ(lines[10], "←2.3.7.5）ログ機能追加（←2.6.0.1）不正ログオン時のエラーメッセージ表示処理、"
                         "手動ログオンモードの削除（←3.0.0.0）");
    EXPECT_EQ(lines[11], "");
    EXPECT_TRUE(box->isReadOnly());
    EXPECT_EQ(box->palette().color(QPalette::Base), QColor(192, 192, 192));
    EXPECT_EQ(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

TEST(AboutDialog, IsLaidOutInTwipsAtTheScreenDpi)
{
    AboutDialog about({}, nullptr);
    ASSERT_EQ(about.logicalDpiX(), 96);
    EXPECT_EQ(about.size(), QSize(382, 237));  // 5730 x 3555
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    EXPECT_FALSE(about.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(about.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(about.Text1()->geometry(), QRect(16, 72, 353, 89));        // 240 1080 5295 1335
    EXPECT_EQ(about.cmdOK()->geometry(), QRect(284, 175, 87, 23));       // 4260 2625 1310 345
    EXPECT_EQ(about.cmdSysInfo()->geometry(), QRect(284, 205, 87, 23));  // 4260 3075 1310 345
    EXPECT_EQ(Label(about, "lblDisclaimer")->geometry(), QRect(17, 175, 258, 55));  // 255 2625 3870 825
}

TEST(AboutDialog, TitleIsBlueBoldJapaneseAndTheLineIsEtched)
{
    AboutDialog about({}, nullptr);
    QLabel* title = Label(about, "lblTitle");
    EXPECT_EQ(title->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_TRUE(title->font().bold());
    EXPECT_EQ(title->font().pointSize(), 9);
    EXPECT_EQ(title->font().families().value(0), "ＭＳ Ｐゴシック");
    // The font actually used can write the captions.
    const QString family = QFontInfo(title->font()).family();
    EXPECT_TRUE(QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese)) << family.toStdString();

    auto* grey = about.findChild<QWidget*>("Line1_1");
    auto* white = about.findChild<QWidget*>("Line1_0");
    ASSERT_TRUE(grey && white);
    EXPECT_EQ(grey->palette().color(QPalette::Window), QColor(128, 128, 128));
    EXPECT_EQ(white->palette().color(QPalette::Window), QColor(255, 255, 255));
    EXPECT_EQ(grey->geometry(), QRect(6, 163, 372, 1));   // (90, 2445) to (5654, 2445)
    EXPECT_EQ(white->geometry(), QRect(7, 164, 371, 2));  // (105, 2460) to (5654, 2460), 2 wide
}

TEST(AboutDialog, OkIsDefaultHasTheFocusAndEnterOrEscClose)
{
    for (int key : {Qt::Key_Return, Qt::Key_Escape}) {
        QWidget owner;
        QtForms forms(&owner);
        bool focusedOk = false, owned = false, sysInfo = false;
        OnModal([&](QWidget* box) {
            auto* about = dynamic_cast<AboutDialog*>(box);
            if (!about) {
                box->close();
                return;
            }
            focusedOk = about->focusWidget() == about->cmdOK() && about->cmdOK()->isDefault();
            owned = about->parentWidget() == &owner && about->isModal();
            testing::PressKey(box, key);
        });
        forms.showAbout([&] { sysInfo = true; });
        EXPECT_TRUE(focusedOk);
        EXPECT_TRUE(owned);
        EXPECT_FALSE(sysInfo);  // Enter presses OK, not the system information button
    }
}

}  // namespace
}  // namespace kesrow::qt
