#include "ui/tray_menu.h"

#include <memory>

#include "ui/about_box.h"
#include "ui/log_viewer.h"
#include "ui/server_path_dialog.h"
#include "core/texts.h"

namespace kesrow {

TrayMenu::TrayMenu(MainForm& form, UiServices& ui) : form_(form), ui_(ui) {}

void TrayMenu::IconTray1_RightClick(int /*button*/, float /*x*/, float /*y*/)
{
    static const std::vector<std::string> items(std::begin(kMenuItems), std::end(kMenuItems));
    Choose(ui_.forms.popupMenu(items, kMenuDefaultItem));
}

void TrayMenu::Choose(int index)
{
    switch (index) {
    case 0: m_rog_Click(); break;
    case 1: M_SAV_Click(); break;
    case 2: m_about_Click(); break;
    case 3: form_.f_end_Click(); break;
    default: break;  // the popup was dismissed
    }
}

// The log is read on the share worker; the viewer opens once it has been read.
void TrayMenu::m_rog_Click()
{
    auto viewer = std::make_shared<logtimes>(form_.LogFile(), form_.platform().dialogs);
    form_.RunOnShare([viewer] { viewer->ReadLog(); }, [this, viewer] {
        if (viewer->ReportRead()) ui_.forms.showLogViewer(viewer->Text1());
    });
}

void TrayMenu::M_SAV_Click()
{
    ChangeServerPath(form_);
}

void TrayMenu::m_about_Click()
{
    frmAbout about(form_.platform().dialogs, ui_.sysInfo);
    ui_.forms.showAbout([&] { about.StartSysInfo(); });
}

}  // namespace kesrow
