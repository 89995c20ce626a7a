// IconTray1 and ImageList1 on QSystemTrayIcon: one tray icon per id, its
// picture taken by index from the image list set before the first add.
#pragma once

#include <QIcon>
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "platform/platform.h"

class QMenu;
class QSystemTrayIcon;

namespace kesrow::qt {

class QtTrayIcon : public TrayIcon {
public:
    // The context menu opens on a right click, in the X11 tray and in
    // StatusNotifierItem hosts alike.
    explicit QtTrayIcon(QMenu* contextMenu = nullptr);
    ~QtTrayIcon() override;

    std::int32_t imageListHandle() override;
    // Throws std::invalid_argument for a handle this tray does not know.
    void setImageList(std::int32_t handle) override;
    // Throws std::logic_error before setImageList, std::out_of_range for a bad index.
    void add(std::int32_t id, std::int16_t image, const std::string& tooltip) override;
    // The icon goes at the next turn of the event loop unless an add for
    // the same id comes first: a remove-then-add changes the icon in place,
    // where a hidden tray icon would give up its place in the tray.
    void remove(std::int32_t id) override;

    // The icon shown for id, or nullptr when none is.
    const QSystemTrayIcon* shown(std::int32_t id) const;
    // Called after each add (with the picture) and remove (with an empty icon).
    std::function<void(const QIcon& picture, const QString& tooltip)> onChange;

private:
    QMenu* contextMenu_;
    std::vector<QIcon> imageList1_;
    const std::vector<QIcon>* images_ = nullptr;
    std::map<std::int32_t, std::unique_ptr<QSystemTrayIcon>> icons_;
    std::set<std::int32_t> leaving_;  // removed, still on screen until the loop turns
    QObject timerContext_;
};

}  // namespace kesrow::qt
