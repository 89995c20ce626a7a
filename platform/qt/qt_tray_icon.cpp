#include "platform/qt/qt_tray_icon.h"

#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>

#include "platform/qt/pictures.h"

namespace kesrow::qt {

namespace {

// A tooltip is shown as rich text when it looks like markup, and the name in
// it comes from the shared folder: such a text is handed over as the markup
// that shows it as it is, on one line.
QString PlainToolTip(const QString& text)
{
    if (!text.contains(u'<') && !text.contains(u'&')) return text;
    return QStringLiteral("<p style=\"white-space:pre\">") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

}  // namespace

QtTrayIcon::QtTrayIcon(QMenu* contextMenu)
    : contextMenu_(contextMenu),
      normal_(NormalTrayIcon()),
      prohibition_(ProhibitionTrayIcon()),
      unknown_(UnknownTrayIcon())
{
}

QtTrayIcon::~QtTrayIcon() = default;

void QtTrayIcon::show(TrayImage image, const std::string& tooltip)
{
    if (!icon_) {
        icon_ = std::make_unique<QSystemTrayIcon>();
        if (contextMenu_) icon_->setContextMenu(contextMenu_);
    }
    const QIcon& picture = image == TrayImage::Prohibition ? prohibition_
                           : image == TrayImage::Unknown   ? unknown_
                                                           : normal_;
    const QString tip = QString::fromStdString(tooltip);
    icon_->setIcon(picture);
    icon_->setToolTip(PlainToolTip(tip));
    icon_->show();
    if (onChange) onChange(picture, tip);
}

void QtTrayIcon::hide()
{
    if (!shown()) return;  // nothing shown: harmless
    icon_->hide();
    if (onChange) onChange(QIcon(), QString());
}

void QtTrayIcon::showNotice(const std::string& title, const std::string& text)
{
    const QString message = QString::fromStdString(text);
    if (shown() && QSystemTrayIcon::isSystemTrayAvailable())
        icon_->showMessage(QString::fromStdString(title), message, QSystemTrayIcon::Information);
    if (onNotice) onNotice(message);
}

const QSystemTrayIcon* QtTrayIcon::shown() const
{
    if (!icon_ || !icon_->isVisible()) return nullptr;
    return icon_.get();
}

}  // namespace kesrow::qt
