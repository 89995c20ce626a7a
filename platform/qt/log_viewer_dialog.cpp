#include "platform/qt/log_viewer_dialog.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "platform/qt/form_style.h"
#include "platform/qt/twips.h"
#include "core/texts.h"
#include "ui/form_layouts.h"

namespace kesrow::qt {

LogViewerDialog::LogViewerDialog(const std::string& text, QWidget* owner) : QDialog(owner)
{
    MakeFixedDialog(this, QString::fromUtf8(kLogViewerCaption), kLogViewerClientWidth, kLogViewerClientHeight);

    // Created first so that it is first in tab order and has the focus.
    cmdOK_ = new QPushButton(QString::fromUtf8(kOkCaption), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setGeometry(TwipsToPixels(this, kLogViewerOkButton));
    cmdOK_->setDefault(true);
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);  // Esc rejects: closes too

    text1_ = NewGreyTextBox(this, QStringLiteral("Text1"));
    text1_->setGeometry(TwipsToPixels(this, kLogViewerTextBox));
    SetBoxText(text1_, text);

    setTabOrder(cmdOK_, text1_);
    cmdOK_->setFocus();
}

}  // namespace kesrow::qt
