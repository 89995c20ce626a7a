// logtimes on screen: the connection log read-only in one grey box, OK below.
#pragma once

#include <QDialog>
#include <string>

class QPlainTextEdit;
class QPushButton;

namespace kesrow::qt {

class LogViewerDialog : public QDialog {
public:
    LogViewerDialog(const std::string& text, QWidget* owner);

    QPlainTextEdit* Text1() const { return text1_; }
    QPushButton* cmdOK() const { return cmdOK_; }

private:
    QPushButton* cmdOK_;
    QPlainTextEdit* text1_;
};

}  // namespace kesrow::qt
