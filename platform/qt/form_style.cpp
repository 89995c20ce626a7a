#include "platform/qt/form_style.h"

#include <QDialog>
#include <QPlainTextEdit>

#include "core/texts.h"
#include "platform/qt/twips.h"

namespace kesrow::qt {

QFont FormFont(bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                      QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP"),
                      QStringLiteral("IPAGothic"), QStringLiteral("Droid Sans Fallback")});
    font.setPointSize(9);
    font.setBold(bold);
    return font;
}

void MakeFixedDialog(QDialog* dialog, const QString& caption, int widthTwips, int heightTwips)
{
    dialog->setWindowTitle(caption);
    dialog->setWindowFlags(kFixedFrame);
    dialog->setFont(FormFont());
    dialog->setFixedSize(TwipsToPixelsX(dialog, widthTwips), TwipsToPixelsY(dialog, heightTwips));
}

QPlainTextEdit* NewGreyTextBox(QDialog* parent, const QString& name)
{
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, kTextBoxGrey);
    box->setPalette(palette);
    return box;
}

void SetBoxText(QPlainTextEdit* box, const std::string& text)
{
    box->setPlainText(QString::fromStdString(BoxLineBreaks(text)));
    box->moveCursor(QTextCursor::Start);
}

}  // namespace kesrow::qt
