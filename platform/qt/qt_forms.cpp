#include "platform/qt/qt_forms.h"

#include <QCursor>
#include <QMenu>

#include "platform/qt/about_dialog.h"
#include "platform/qt/log_viewer_dialog.h"

namespace kesrow::qt {

void FillMenu(QMenu* menu, const std::vector<std::string>& items, int defaultItem)
{
    for (std::size_t i = 0; i < items.size(); ++i) {
        QAction* action = menu->addAction(QString::fromStdString(items[i]));
        action->setData(int(i));
        if (int(i) == defaultItem) {
            // Styles differ in whether the default action is drawn bold: say so.
            QFont bold = action->font();
            bold.setBold(true);
            action->setFont(bold);
            menu->setDefaultAction(action);
        }
    }
}

int QtForms::popupMenu(const std::vector<std::string>& items, int defaultItem)
{
    QMenu menu(owner_);
    FillMenu(&menu, items, defaultItem);
    QAction* chosen = menu.exec(QCursor::pos());
    return chosen ? chosen->data().toInt() : -1;
}

void QtForms::showLogViewer(const std::string& text)
{
    LogViewerDialog viewer(text, owner_);
    viewer.exec();
}

void QtForms::showAbout(const std::function<void()>& onSysInfo)
{
    AboutDialog about(onSysInfo, owner_);
    about.exec();
}

}  // namespace kesrow::qt
