// The message box and input box: styles, buttons, icons, answers.
#include <QAbstractButton>
#include <QInputDialog>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <gtest/gtest.h>

#include "modal.h"
#include "platform/qt/qt_dialogs.h"

namespace kesrow::qt {
namespace {

using testing::OnModal;
using testing::PressKey;

struct SeenBox {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
};

// Shows a message box, records what it shows, then answers with the button
// labelled `answer`, or with the key `key` when answer is empty.
int AskBox(const std::string& prompt, int style, SeenBox& seen, const QString& answer, int key = 0)
{
    OnModal([&seen, answer, key](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* b : box->buttons()) seen.buttons << b->text();
        seen.buttons.sort();
        if (box->defaultButton()) seen.defaultButton = box->defaultButton()->text();
        if (key) {
            PressKey(box, key);
            return;
        }
        for (QAbstractButton* b : box->buttons())
            if (b->text() == answer) b->click();
    });
    QtDialogs dialogs;
    return dialogs.messageBox(prompt, style, "ケスロウ");
}

TEST(MessageBox, Style0IsOkAloneWithoutIconAndEscAnswersOk)
{
    SeenBox seen;
    EXPECT_EQ(AskBox("サーバパスの変更後はプログラムを終了します", 0, seen, "OK"), 1);
    EXPECT_EQ(seen.title, "ケスロウ");
    EXPECT_EQ(seen.text, "サーバパスの変更後はプログラムを終了します");
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QStringList{"OK"});
    EXPECT_EQ(seen.defaultButton, "OK");
    SeenBox escaped;
    EXPECT_EQ(AskBox("x", 0, escaped, "", Qt::Key_Escape), 1);  // Esc on a lone OK is OK
}

TEST(MessageBox, Style1OffersOkAndCancel)
{
    SeenBox seen;
    EXPECT_EQ(AskBox("a\rb", 1, seen, "OK"), 1);
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, (QStringList{"OK", "キャンセル"}));
    EXPECT_EQ(seen.defaultButton, "OK");
    EXPECT_EQ(seen.text, "a\nb");  // CR is a line break

    SeenBox cancelled;
    EXPECT_EQ(AskBox("a", 1, cancelled, "キャンセル"), 2);
    SeenBox escaped;
    EXPECT_EQ(AskBox("a", 1, escaped, "", Qt::Key_Escape), 2);
    SeenBox entered;
    EXPECT_EQ(AskBox("a", 1, entered, "", Qt::Key_Return), 1);
}

TEST(MessageBox, Style48ShowsTheExclamationIcon)
{
    SeenBox seen;
    EXPECT_EQ(AskBox("このアプリケーションはすでに開かれています。", 48, seen, "OK"), 1);
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.buttons, QStringList{"OK"});
}

TEST(MessageBox, ClosingItsFrameIsCancel)
{
    OnModal([](QWidget* box) { box->close(); });
    QtDialogs dialogs;
    EXPECT_EQ(dialogs.messageBox("x", 1, "ケスロウ"), 2);
}

struct SeenInput {
    QString title, label, text, selected, okText, cancelText;
};

// Shows an input box and runs answer(box, edit) on it.
std::string AskInput(const std::string& def, SeenInput& seen,
                     std::function<void(QInputDialog*, QLineEdit*)> answer)
{
    OnModal([&seen, answer](QWidget* w) {
        auto* box = qobject_cast<QInputDialog*>(w);
        ASSERT_NE(box, nullptr);
        auto* edit = box->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        seen.title = box->windowTitle();
        seen.label = box->labelText();
        seen.text = edit->text();
        seen.selected = edit->selectedText();
        seen.okText = box->okButtonText();
        seen.cancelText = box->cancelButtonText();
        answer(box, edit);
    });
    QtDialogs dialogs;
    return dialogs.inputBox("サーバパスを入力して下さい\r最後は￥でくくること", "ケスロウ", def);
}

// Typing through the input method, as Japanese text arrives.
void Type(QLineEdit* edit, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(edit, &event);
}

TEST(InputBox, ShowsTheDefaultSelectedAndReturnsItOnOk)
{
    SeenInput seen;
    const std::string answer = AskInput("/srv/共有/", seen, [](QInputDialog*, QLineEdit* edit) {
        PressKey(edit, Qt::Key_Return);
    });
    EXPECT_EQ(answer, "/srv/共有/");
    EXPECT_EQ(seen.title, "ケスロウ");
    EXPECT_EQ(seen.label, "サーバパスを入力して下さい\n最後は￥でくくること");
    EXPECT_EQ(seen.text, "/srv/共有/");
    EXPECT_EQ(seen.selected, "/srv/共有/");
    EXPECT_EQ(seen.okText, "OK");
    EXPECT_EQ(seen.cancelText, "キャンセル");
}

TEST(InputBox, TypingReplacesTheDefault)
{
    SeenInput seen;
    const std::string answer = AskInput("/old/", seen, [](QInputDialog* box, QLineEdit* edit) {
        Type(edit, QStringLiteral("/新しい/"));
        box->accept();
    });
    EXPECT_EQ(answer, "/新しい/");
}

TEST(InputBox, CancelEscAndAnEmptiedBoxGiveEmptyText)
{
    SeenInput seen;
    EXPECT_EQ(AskInput("/old/", seen, [](QInputDialog* box, QLineEdit* edit) {
        Type(edit, QStringLiteral("/typed/"));
        for (auto* button : box->findChildren<QAbstractButton*>())
            if (button->text() == "キャンセル") button->click();
    }), "");
    EXPECT_EQ(AskInput("/old/", seen, [](QInputDialog*, QLineEdit* edit) {
        PressKey(edit, Qt::Key_Escape);
    }), "");
    EXPECT_EQ(AskInput("/old/", seen, [](QInputDialog* box, QLineEdit* edit) {
        edit->clear();
        box->accept();
    }), "");
}

}  // namespace
}  // namespace kesrow::qt
