// The main form's own window, shown only when the desktop has no
// notification area (e.g. GNOME without a tray extension): without it the
// user could neither see the line's state nor reach the menu. It carries the
// menu bar item "終了(&X)" (MenuEnd), the icon's picture and tooltip, and one
// button per tray menu command. Closing it unloads the main form.
#pragma once

#include <QMainWindow>
#include <functional>
#include <string>
#include <vector>

class QLabel;

namespace kesrow::qt {

class FallbackWindow : public QMainWindow {
public:
    FallbackWindow(const std::vector<std::string>& commands, int defaultCommand);

    // What the tray icon would show; an empty picture when it is removed.
    void showStatus(const QIcon& picture, const QString& tooltip);
    // A notice in the status bar, where a tray would show a balloon.
    void showNotice(const QString& text);

    std::function<void(int index)> onCommand;
    std::function<void()> MenuEnd_Click;
    std::function<void()> onClose;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* picture_;
    QLabel* tooltip_;
};

}  // namespace kesrow::qt
