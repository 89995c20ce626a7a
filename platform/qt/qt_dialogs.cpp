#include "platform/qt/qt_dialogs.h"
#include "platform/qt/form_style.h"
#include "platform/qt/twips.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "core/texts.h"

namespace kesrow::qt {

namespace {
constexpr int kInputBoxWidthTwips = 5400;

QString PromptText(const std::string& prompt)
{
    return QString::fromStdString(BoxLineBreaks(prompt));
}

}  // namespace

Answer QtDialogs::messageBox(const std::string& prompt, BoxStyle style, const std::string& title)
{
    QMessageBox box(owner_);
    box.setWindowFlags(kFixedFrame);
    box.setWindowTitle(QString::fromStdString(title));
    box.setTextFormat(Qt::PlainText);  // a prompt is never markup
    box.setText(PromptText(prompt));
    if (style == BoxStyle::Exclamation) box.setIcon(QMessageBox::Warning);
    QPushButton* ok = box.addButton(QString::fromUtf8(kOkCaption), QMessageBox::AcceptRole);
    if (style == BoxStyle::OkCancel) {
        QPushButton* cancel = box.addButton(QString::fromUtf8(kCancelCaption), QMessageBox::RejectRole);
        box.setEscapeButton(cancel);
    } else {
        box.setEscapeButton(ok);  // a lone OK also answers Esc and the frame's close
    }
    box.setDefaultButton(ok);
    box.exec();
    return box.clickedButton() == ok ? Answer::Ok : Answer::Cancel;
}

void QtDialogs::violationWarning(const std::string& prompt, const std::string& title)
{
    messageBox(prompt, BoxStyle::OkOnly, title);
}

std::string QtDialogs::inputBox(const std::string& prompt, const std::string& title,
                                const std::string& defaultText)
{
    QInputDialog box(owner_, kFixedFrame);
    box.setWindowTitle(QString::fromStdString(title));
    box.setLabelText(PromptText(prompt));
    box.setInputMode(QInputDialog::TextInput);
    box.setOkButtonText(QString::fromUtf8(kOkCaption));
    box.setCancelButtonText(QString::fromUtf8(kCancelCaption));
    box.setTextValue(QString::fromStdString(defaultText));
    if (auto* edit = box.findChild<QLineEdit*>())  // room for a full path
        edit->setMinimumWidth(TwipsToPixelsX(&box, kInputBoxWidthTwips));
    for (auto* button : box.findChildren<QAbstractButton*>()) button->setIcon(QIcon());  // text only
    if (auto* edit = box.findChild<QLineEdit*>()) edit->selectAll();  // typing replaces the default
    if (box.exec() != QDialog::Accepted) return {};
    return box.textValue().toStdString();
}

void QtDialogs::beep()
{
    QApplication::beep();
}

}  // namespace kesrow::qt
