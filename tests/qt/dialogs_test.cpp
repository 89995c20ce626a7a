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
Answer AskBox(const std::string& prompt, BoxStyle style, SeenBox& seen, const QString& answer, int key = 0)
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
    EXPECT_EQ(AskBox("サーバパスの変更後はプログラムを終了します", BoxStyle::OkOnly, seen, "OK"), Answer::Ok);
    EXPECT_EQ(seen.title, "ケスロウ");
    EXPECT_EQ(seen.text, "サーバパスの変更後はプログラムを終了します");
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QStringList{"OK"});
    EXPECT_EQ(seen.defaultButton, "OK");
    SeenBox escaped;
    EXPECT_EQ(AskBox("x", BoxStyle::OkOnly, escaped, "", Qt::Key_Escape), Answer::Ok);  // Esc on a lone OK is OK
}

TEST(MessageBox, Style1OffersOkAndCancel)
{
    SeenBox seen;
    EXPECT_EQ(AskBox("a\rb", BoxStyle::OkCancel, seen, "OK"), Answer::Ok);
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, (QStringList{"OK", "キャンセル"}));
    EXPECT_EQ(seen.defaultButton, "OK");
    EXPECT_EQ(seen.text, "a\nb");  // CR is a line break

    SeenBox cancelled;
    EXPECT_EQ(AskBox("a", BoxStyle::OkCancel, cancelled, "キャンセル"), Answer::Cancel);
    SeenBox escaped;
    EXPECT_EQ(AskBox("a", BoxStyle::OkCancel, escaped, "", Qt::Key_Escape), Answer::Cancel);
    SeenBox entered;
    EXPECT_EQ(AskBox("a", BoxStyle::OkCancel, entered, "", Qt::Key_Return), Answer::Ok);
}

TEST(MessageBox, Style48ShowsTheExclamationIcon)
{
    SeenBox seen;
    EXPECT_EQ(AskBox("このアプリケーションはすでに開かれています。", BoxStyle::Exclamation, seen, "OK"), Answer::Ok);
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.buttons, QStringList{"OK"});
}

TEST(MessageBox, ClosingItsFrameIsCancel)
{
    OnModal([](QWidget* box) { box->close(); });
    QtDialogs dialogs;
    EXPECT_EQ(dialogs.messageBox("x", BoxStyle::OkCancel, "ケスロウ"), Answer::Cancel);
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
