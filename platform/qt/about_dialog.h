// frmAbout on screen: the fixed texts, the version history and the two buttons.
#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace kesrow::qt {

// lblDisclaimer's caption as shown: one line per part.
QString DisclaimerLines(const char* caption);

class AboutDialog : public QDialog {
public:
    AboutDialog(std::function<void()> onSysInfo, QWidget* owner);

    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdSysInfo() const { return cmdSysInfo_; }
    QPlainTextEdit* Text1() const { return text1_; }

private:
    void Form_Load();
    QLabel* newLabel(const char* name, const char* caption, int left, int top, int width, int height);
    void newLine(const char* name, const QColor& colour, int x1, int x2, int y, int widthPixels);

    std::function<void()> onSysInfo_;
    QPushButton* cmdOK_;
    QPushButton* cmdSysInfo_;
    QPlainTextEdit* text1_;
};

}  // namespace kesrow::qt
