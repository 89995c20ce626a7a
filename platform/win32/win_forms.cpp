#include "platform/win32/win_forms.h"

#include "core/texts.h"
#include "platform/win32/about_form.h"
#include "platform/win32/log_viewer_form.h"
#include "core/wide_text_win32.h"

namespace kesrow::win32 {

HMENU TrayPopupMenu(const std::vector<std::string>& items, int defaultItem)
{
    HMENU menu = CreatePopupMenu();
    for (std::size_t i = 0; i < items.size(); ++i)
        AppendMenuW(menu, MF_STRING, i + 1, Widen(items[i]).c_str());
    SetMenuDefaultItem(menu, defaultItem + 1, FALSE);
    return menu;
}

int WinForms::popupMenu(const std::vector<std::string>& items, int defaultItem)
{
    HMENU menu = TrayPopupMenu(items, defaultItem);
    POINT pointer{};
    GetCursorPos(&pointer);
    // Without the foreground the popup would stay open when the user
    // clicks elsewhere; the posted message lets it close at once after a choice.
    SetForegroundWindow(owner_);
    const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_LEFTBUTTON, pointer.x,
                                      pointer.y, 0, owner_, nullptr);
    PostMessageW(owner_, WM_NULL, 0, 0);
    DestroyMenu(menu);
    return chosen - 1;
}

void WinForms::showLogViewer(const std::string& text)
{
    LogViewerForm(text).run(owner_, kLogViewerCaption);
}

void WinForms::showAbout(const std::function<void()>& onSysInfo)
{
    AboutForm(onSysInfo).run(owner_, kAboutCaption);
}

}  // namespace kesrow::win32
