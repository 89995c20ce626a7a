// The tray's popup menu and the two modal forms, owned by the hidden main window.
#pragma once

#include <windows.h>

#include "core/platform.h"

namespace kesrow::win32 {

// The tray's popup: one item per text, ids from 1, the default one bold.
HMENU TrayPopupMenu(const std::vector<std::string>& items, int defaultItem);

class WinForms : public Forms {
public:
    explicit WinForms(HWND owner) : owner_(owner) {}

    // x and y: the pointer in screen pixels.
    int popupMenu(const std::vector<std::string>& items, int defaultItem) override;
    void showLogViewer(const std::string& text) override;
    void showAbout(const std::function<void()>& onSysInfo) override;

private:
    HWND owner_;
};

}  // namespace kesrow::win32
