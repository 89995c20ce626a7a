// IconTray1 on QSystemTrayIcon, with the two pictures of ImageList1.
#pragma once

#include <QIcon>
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

    // A shown icon changes in place: hidden and shown again it would give
    // up its place in the tray.
    void show(TrayImage image, const std::string& tooltip) override;
    void hide() override;
    // A balloon from the icon while a notification area shows it.
    void showNotice(const std::string& title, const std::string& text) override;

    // The icon, or nullptr when none is shown.
    const QSystemTrayIcon* shown() const;
    // Called after each show (with the picture) and hide (with an empty icon).
    std::function<void(const QIcon& picture, const QString& tooltip)> onChange;
    // Called after each notice, whether a balloon showed it or not.
    std::function<void(const QString& text)> onNotice;

private:
    QMenu* contextMenu_;
    QIcon normal_;
    QIcon prohibition_;
    QIcon unknown_;
    std::unique_ptr<QSystemTrayIcon> icon_;
};

}  // namespace kesrow::qt
