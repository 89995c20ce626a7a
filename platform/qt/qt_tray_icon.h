// IconTray1 on QSystemTrayIcon, with the two pictures of ImageList1.
#pragma once

#include <QIcon>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "core/platform.h"

class QMenu;
class QSystemTrayIcon;

namespace kesrow::qt {

class QtTrayIcon : public TrayIcon {
public:
    // The context menu opens on a right click, in the X11 tray and in
    // StatusNotifierItem hosts alike.
    explicit QtTrayIcon(QMenu* contextMenu = nullptr);
    ~QtTrayIcon() override;

    void add(TrayImage image, const std::string& tooltip) override;
    // The icon goes at the next turn of the event loop unless an add for
    // the same id comes first: a remove-then-add changes the icon in place,
    // where a hidden tray icon would give up its place in the tray.
    void remove() override;
    // A balloon from the icon while a notification area shows it.
    void showNotice(const std::string& title, const std::string& text) override;

    // The icon, or nullptr when none is shown.
    const QSystemTrayIcon* shown() const;
    // Called after each add (with the picture) and remove (with an empty icon).
    std::function<void(const QIcon& picture, const QString& tooltip)> onChange;
    // Called after each notice, whether a balloon showed it or not.
    std::function<void(const QString& text)> onNotice;

private:
    QMenu* contextMenu_;
    QIcon normal_;
    QIcon prohibition_;
    QIcon unknown_;
    std::unique_ptr<QSystemTrayIcon> icon_;
    bool leaving_ = false;  // removed, still on screen until the loop turns
    QObject timerContext_;
};

}  // namespace kesrow::qt
