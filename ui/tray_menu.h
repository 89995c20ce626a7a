// The tray icon's popup menu and the commands behind its four items.
#pragma once

#include <string>
#include <vector>

#include "core/main_form.h"
#include "core/platform.h"

namespace kesrow {

class TrayMenu {
public:
    TrayMenu(MainForm& form, UiServices& ui);

    // Opens the popup at the pointer and runs the chosen item; neither the
    // button nor where the tray says it was clicked is looked at.
    void IconTray1_RightClick(int button, float x, float y);
    // Runs the procedure of item index (0..3) of kMenuItems; -1 (dismissed) does nothing.
    void Choose(int index);

    void m_rog_Click();
    void M_SAV_Click();
    void m_about_Click();

private:
    MainForm& form_;
    UiServices& ui_;
};

}  // namespace kesrow
