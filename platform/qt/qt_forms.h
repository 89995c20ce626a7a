// The popup menu and the two modal forms, owned by the (hidden) main form.
#pragma once

#include "core/platform.h"

class QMenu;
class QWidget;

namespace kesrow::qt {

// The items of a tray popup, item defaultItem bold and the menu's default.
void FillMenu(QMenu* menu, const std::vector<std::string>& items, int defaultItem);

class QtForms : public Forms {
public:
    explicit QtForms(QWidget* owner) : owner_(owner) {}

    // Opens at the pointer; x and y (the main form's twips) are not needed for that.
    int popupMenu(const std::vector<std::string>& items, int defaultItem) override;
    void showLogViewer(const std::string& text) override;
    void showAbout(const std::function<void()>& onSysInfo) override;

private:
    QWidget* owner_;
};

}  // namespace kesrow::qt
