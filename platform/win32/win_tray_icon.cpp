#include "platform/win32/win_tray_icon.h"

#include <algorithm>

#include "platform/win32/resources.h"
#include "platform/win32/wide_text.h"

namespace kesrow::win32 {

WinTrayIcon::WinTrayIcon(HWND window, UINT callbackMessage) : window_(window)
{
    const int cx = GetSystemMetrics(SM_CXSMICON);
    const int cy = GetSystemMetrics(SM_CYSMICON);
    int i = 0;
    for (int id : {kProgramIcon, kProhibitionIcon, kUnknownIcon})
        pictures_[i++] = static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR));
    data_.cbSize = sizeof data_;
    data_.hWnd = window;
    data_.uID = 1;
    data_.uCallbackMessage = callbackMessage;
}

WinTrayIcon::~WinTrayIcon()
{
    flush();
    if (shown_) notify(NIM_DELETE);
    for (HICON picture : pictures_) DestroyIcon(picture);
}

bool WinTrayIcon::notify(DWORD message)
{
    return Shell_NotifyIconW(message, &data_);
}

void WinTrayIcon::add(TrayImage image, const std::string& tooltip)
{
    data_.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    data_.hIcon = pictures_[int(image) - 1];
    const std::wstring tip = Widen(tooltip);
    const std::size_t n = std::min(tip.size(), std::size(data_.szTip) - 1);
    tip.copy(data_.szTip, n);
    data_.szTip[n] = L'\0';
    // A taskbar that is not there yet (early at logon) announces itself
    // with TaskbarCreated, and restore() adds the icon then.
    if (shown_ && leaving_)
        notify(NIM_MODIFY);
    else
        notify(NIM_ADD);
    shown_ = true;
    leaving_ = false;
}

void WinTrayIcon::remove()
{
    if (!shown_ || leaving_) return;
    leaving_ = true;
    PostMessageW(window_, FlushMessage(), 0, 0);
}

void WinTrayIcon::flush()
{
    if (!leaving_) return;
    notify(NIM_DELETE);
    shown_ = leaving_ = false;
}

void WinTrayIcon::restore()
{
    if (shown()) notify(NIM_ADD);
}

}  // namespace kesrow::win32
