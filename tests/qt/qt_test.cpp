// The Qt front end's pieces on the offscreen platform: what boxes answer,
// the tray's pictures and its change in place, the forms' buttons.
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>
#include <gtest/gtest.h>

#include "platform/qt/about_dialog.h"
#include "platform/qt/log_viewer_dialog.h"
#include "platform/qt/pictures.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_translations.h"
#include "platform/qt/qt_tray_icon.h"

namespace kesrow::qt {
namespace {

// Once the next modal box is up, looks at it, then types the key (0: closes its frame).
void Press(int key, std::function<void(QWidget*)> look = [](QWidget*) {})
{
    QTimer::singleShot(10, [key, look] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box || !box->isVisible()) return Press(key, look);
        look(box);
        key ? QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, Qt::Key(key)) : void(box->close());
    });
}

TEST(QtFrontEnd, BoxAnswers)
{
    const struct { BoxStyle style; int key; Answer answer; QMessageBox::Icon icon; } rows[] = {
        {BoxStyle::OkOnly, Qt::Key_Escape, Answer::Ok, QMessageBox::NoIcon},
        {BoxStyle::OkCancel, Qt::Key_Escape, Answer::Cancel, QMessageBox::NoIcon},
        {BoxStyle::OkCancel, Qt::Key_Return, Answer::Ok, QMessageBox::NoIcon},
        {BoxStyle::OkCancel, 0, Answer::Cancel, QMessageBox::NoIcon},
        {BoxStyle::Exclamation, Qt::Key_Return, Answer::Ok, QMessageBox::Warning},
    };
    for (const auto& row : rows) {
        QString text;
        QMessageBox::Icon icon{};
        Press(row.key, [&](QWidget* box) { text = static_cast<QMessageBox*>(box)->text(), icon = static_cast<QMessageBox*>(box)->icon(); });
        EXPECT_EQ(QtDialogs().messageBox("a\rb\r\nc", row.style, "t"), row.answer) << row.key;
        EXPECT_EQ(icon, row.icon);
        EXPECT_EQ(text, "a\nb\nc");
    }
    Press(Qt::Key_Return);
    EXPECT_EQ(QtDialogs().inputBox("p", "t", "/srv/共有/"), "/srv/共有/");
    Press(Qt::Key_Escape);
    EXPECT_EQ(QtDialogs().inputBox("p", "t", "/srv/"), "");
}

TEST(QtFrontEnd, TrayChangesInPlaceWithItsTwoPictures)
{
    QtTrayIcon tray;
    tray.show(TrayImage::Normal, "free");
    const QSystemTrayIcon* icon = tray.shown();
    ASSERT_NE(icon, nullptr);
    auto image = [](const QIcon& i) { return i.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32); };
    auto picture = [&] { return image(icon->icon()); };
    const QImage normal = image(NormalTrayIcon()), sign = image(ProhibitionTrayIcon());
    EXPECT_NE(normal, sign);
    EXPECT_EQ(picture(), normal);
    // A holder's name that looks like markup is shown as it is written.
    const QString held = "PC9<img src=\"/dev/zero\"><b>x</b>";
    tray.show(TrayImage::Prohibition, held.toStdString());
    EXPECT_EQ(tray.shown(), icon);
    EXPECT_EQ(QTextDocumentFragment::fromHtml(icon->toolTip()).toPlainText(), held);
    EXPECT_EQ(picture(), sign);
    tray.hide();
    EXPECT_EQ(tray.shown(), nullptr);
}

TEST(QtFrontEnd, Forms)
{
    LogViewerDialog viewer("\r\na\r\nb", nullptr);
    EXPECT_EQ(viewer.Text1()->toPlainText(), "\na\nb");
    viewer.cmdOK()->click();
    EXPECT_EQ(viewer.result(), QDialog::Accepted);
    int pressed = 0;
    AboutDialog([&] { ++pressed; }, nullptr).cmdSysInfo()->click();
    EXPECT_EQ(pressed, 1);
    // Qt's own texts (an edit field's menu) in Japanese.
    QTranslator qtTexts;
    ASSERT_TRUE(LoadQtTranslations(qtTexts, QLocale(QLocale::Japanese, QLocale::Japan)));
    QCoreApplication::installTranslator(&qtTexts);
    std::unique_ptr<QMenu> menu(viewer.Text1()->createStandardContextMenu());
    QCoreApplication::removeTranslator(&qtTexts);
    QStringList texts;
    for (QAction* action : menu->actions()) texts << action->text();
    EXPECT_TRUE(texts.join(" ").contains("コピー")) << texts.join(" ").toStdString();
}

}  // namespace
}  // namespace kesrow::qt

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
