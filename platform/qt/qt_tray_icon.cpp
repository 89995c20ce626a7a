#include "platform/qt/qt_tray_icon.h"

#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>
#include <stdexcept>

#include "platform/qt/pictures.h"

namespace kesrow::qt {

namespace {
// This tray holds one image list, ImageList1.
constexpr std::int32_t kImageList1Handle = 1;
}

QtTrayIcon::QtTrayIcon(QMenu* contextMenu)
    : contextMenu_(contextMenu),
      imageList1_{QIcon(QPixmap::fromImage(NormalTrayImage())),
                  QIcon(QPixmap::fromImage(ProhibitionTrayImage()))}
{
}

QtTrayIcon::~QtTrayIcon() = default;

std::int32_t QtTrayIcon::imageListHandle()
{
    return kImageList1Handle;
}

void QtTrayIcon::setImageList(std::int32_t handle)
{
    if (handle != kImageList1Handle)
        throw std::invalid_argument("unknown image list handle " + std::to_string(handle));
    images_ = &imageList1_;
}

void QtTrayIcon::add(std::int32_t id, std::int16_t image, const std::string& tooltip)
{
    if (!images_) throw std::logic_error("tray icon added before its image list was set");
    if (image < 1 || std::size_t(image) > images_->size())
        throw std::out_of_range("no image " + std::to_string(image) + " in the image list");
    auto& icon = icons_[id];
    if (!icon) {
        icon = std::make_unique<QSystemTrayIcon>();
        if (contextMenu_) icon->setContextMenu(contextMenu_);
    }
    const QIcon& picture = (*images_)[image - 1];
    const QString tip = QString::fromStdString(tooltip);
    leaving_.erase(id);
    icon->setIcon(picture);
    icon->setToolTip(tip);
    icon->show();
    if (onChange) onChange(picture, tip);
}

void QtTrayIcon::remove(std::int32_t id)
{
    if (!shown(id)) return;  // nothing shown: harmless
    leaving_.insert(id);
    QTimer::singleShot(0, &timerContext_, [this, id] {
        if (!leaving_.erase(id)) return;  // added again meanwhile
        icons_.at(id)->hide();
        if (onChange) onChange(QIcon(), QString());
    });
}

const QSystemTrayIcon* QtTrayIcon::shown(std::int32_t id) const
{
    auto found = icons_.find(id);
    if (found == icons_.end() || !found->second->isVisible() || leaving_.count(id)) return nullptr;
    return found->second.get();
}

}  // namespace kesrow::qt
