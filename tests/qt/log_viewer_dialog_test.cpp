// logtimes on screen: geometry at the offscreen DPI, the grey read-only box,
// the OK button, and the text of real log files.
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <gtest/gtest.h>

#include "modal.h"
#include "platform/qt/log_viewer_dialog.h"
#include "platform/qt/qt_forms.h"
#include "test_files.h"
#include "ui/log_viewer.h"

namespace kesrow::qt {
namespace {

using testing::OnModal;
using testing::PressKey;

TEST(LogViewerDialog, IsLaidOutInTwipsWithAGreyReadOnlyBox)
{
    LogViewerDialog viewer("", nullptr);
    ASSERT_EQ(viewer.logicalDpiX(), 96);  // the offscreen screen; the pixels below assume it
    EXPECT_EQ(viewer.windowTitle(), "接続時間ログ情報");
    EXPECT_EQ(viewer.size(), QSize(725, 443));            // 10875 x 6645
    EXPECT_EQ(viewer.minimumSize(), viewer.maximumSize());  // fixed frame
    EXPECT_FALSE(viewer.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(viewer.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(viewer.Text1()->geometry(), QRect(8, 0, 705, 409));   // 120, 0, 10575, 6135
    EXPECT_EQ(viewer.cmdOK()->geometry(), QRect(632, 416, 87, 23));  // 9480, 6240, 1310, 345

    // The text box: grey, read-only but selectable, and it scrolls.
    QPlainTextEdit* box = viewer.Text1();
    EXPECT_TRUE(box->isReadOnly());
    EXPECT_TRUE(box->textInteractionFlags() & Qt::TextSelectableByMouse);
    EXPECT_TRUE(box->textInteractionFlags() & Qt::TextSelectableByKeyboard);
    EXPECT_EQ(box->palette().color(QPalette::Base), QColor(192, 192, 192));
    EXPECT_EQ(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

TEST(LogViewerDialog, OkIsDefaultHasTheFocusAndEnterOrEscClose)
{
    for (int key : {Qt::Key_Return, Qt::Key_Escape}) {
        LogViewerDialog viewer("\r\na", nullptr);
        EXPECT_EQ(viewer.cmdOK()->text(), "OK");
        EXPECT_TRUE(viewer.cmdOK()->isDefault());
        bool focused = false;
        OnModal([&](QWidget* box) {
            focused = box->focusWidget() == viewer.cmdOK();
            PressKey(box, key);
        });
        viewer.exec();
        EXPECT_TRUE(focused);
        EXPECT_FALSE(viewer.isVisible());
    }
}

TEST(LogViewerDialog, OpensAtTheTopOfALongLog)
{
    std::string text;
    for (int i = 0; i < 300; ++i) text += "\r\nPC01が、 1998/09/03 10:15:00 接続";
    LogViewerDialog viewer(text, nullptr);
    int scrolled = -1, maximum = 0, cursor = -1;
    OnModal([&](QWidget* box) {
        scrolled = viewer.Text1()->verticalScrollBar()->value();
        maximum = viewer.Text1()->verticalScrollBar()->maximum();
        cursor = viewer.Text1()->textCursor().position();
        PressKey(box, Qt::Key_Escape);
    });
    viewer.exec();
    EXPECT_GT(maximum, 0);
    EXPECT_EQ(scrolled, 0);
    EXPECT_EQ(cursor, 0);
}

// What the viewer shows for a log file on disk, opened through the forms service.
QString ShownForLog(const std::string& bytes)
{
    testing::TempDir dir;
    testing::WriteBytes(dir.file("kesrow.log"), bytes);
    QWidget owner;
    QtForms forms(&owner);
    QString shown;
    bool ownedAndModal = false;
    OnModal([&](QWidget* box) {
        auto* viewer = dynamic_cast<LogViewerDialog*>(box);
        if (!viewer) {
            box->close();
            return;
        }
        shown = viewer->Text1()->toPlainText();
        ownedAndModal = viewer->parentWidget() == &owner && viewer->isModal();
        viewer->cmdOK()->click();
    });
    forms.showLogViewer(LogViewerText(dir.file("kesrow.log")));
    EXPECT_TRUE(ownedAndModal);
    return shown;
}

TEST(LogViewerDialog, ShowsAnEmptyLogEmptyAndThreeLinesAfterAnEmptyFirstLine)
{
    EXPECT_EQ(ShownForLog(""), "");
    // "PC01が、 1998/09/03 10:15:00 接続" and two more, in code page 932.
    const std::string log =
        "PC01\x82\xaa\x81\x41 1998/09/03 10:15:00 \x90\xda\x91\xb1\r\n"
        "PC01\x82\xaa\x81\x41 1998/09/03 10:25:00 \x90\xd8\x92\x66\r\n"
        "PC02\x82\xaa\x81\x41 1998/09/03 11:00:00 \x90\xda\x91\xb1\r\n";
    EXPECT_EQ(ShownForLog(log),
              "\nPC01が、 1998/09/03 10:15:00 接続"
              "\nPC01が、 1998/09/03 10:25:00 切断"
              "\nPC02が、 1998/09/03 11:00:00 接続");
}

}  // namespace
}  // namespace kesrow::qt
