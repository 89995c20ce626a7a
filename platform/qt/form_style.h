// Looks the forms share: fixed dialog frame, grey read-only text boxes and
// the Japanese UI font with its fallbacks.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QDialog;
class QPlainTextEdit;

namespace kesrow::qt {

inline const QColor kTextBoxGrey(192, 192, 192);

// A title and a close button only, like the system's boxes and dialogs.
constexpr Qt::WindowFlags kFixedFrame = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                        Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                                        Qt::MSWindowsFixedSizeDialogHint;

// "ＭＳ Ｐゴシック" 9 pt, or the nearest Japanese font installed here.
QFont FormFont(bool bold = false);
// A fixed-size dialog without minimize or maximize button, client area in twips.
void MakeFixedDialog(QDialog* dialog, const QString& caption, int widthTwips, int heightTwips);
// Read-only (still selectable and scrollable), grey, multi-line with a vertical scroll bar.
QPlainTextEdit* NewGreyTextBox(QDialog* parent, const QString& name);
// Shows text whose lines end in CR LF (or CR) with plain line breaks, from the top.
void SetBoxText(QPlainTextEdit* box, const std::string& text);

}  // namespace kesrow::qt
