#include "platform/win32/win_tray_icon.h"

#include "core/texts.h"
#include "platform/win32/resources.h"
#include "core/wide_text_win32.h"

namespace kesrow::win32 {

std::wstring TipText(const std::string& tooltip, std::size_t room)
{
    const std::wstring tip = Widen(tooltip);
    if (tip.size() < room) return tip;
    const std::wstring sentence = Widen(LineHeldTooltip("\n"));
    const std::wstring front = sentence.substr(0, sentence.find(L'\n')), back = sentence.substr(front.size() + 1);
    // The sentence's end, with the note that the share does not answer when it is there.
    const std::wstring silent = back + Widen(kShareSilentNote), tail = tip.ends_with(silent) ? silent : back;
    const bool held = tip.starts_with(front) && tip.ends_with(tail) && room > front.size() + tail.size() + 2;
    std::size_t end = held ? room - 2 - tail.size() : room - 1;  // held: "…" and the sentence's end follow
    if (IS_HIGH_SURROGATE(tip[end - 1])) --end;
    return held ? tip.substr(0, end) + L"…" + tail : tip.substr(0, end);
}

WinTrayIcon::WinTrayIcon(HWND window, UINT callbackMessage)
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
    hide();
    for (HICON picture : pictures_) DestroyIcon(picture);
}

bool WinTrayIcon::notify(DWORD message)
{
    return Shell_NotifyIconW(message, &data_);
}

void WinTrayIcon::show(TrayImage image, const std::string& tooltip)
{
    data_.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    data_.hIcon = pictures_[int(image) - 1];
    const std::wstring tip = TipText(tooltip, std::size(data_.szTip));
    tip.copy(data_.szTip, tip.size());
    data_.szTip[tip.size()] = L'\0';
    // A taskbar that is not there yet (early at logon) announces itself
    // with TaskbarCreated, and restore() adds the icon then.
    notify(shown_ ? NIM_MODIFY : NIM_ADD);
    shown_ = true;
}

void WinTrayIcon::hide()
{
    if (!shown_) return;
    notify(NIM_DELETE);
    shown_ = false;
}

void WinTrayIcon::showNotice(const std::string& title, const std::string& text)
{
    if (!shown()) return;
    NOTIFYICONDATAW balloon = data_;  // the icon's own flags stay as they are
    balloon.uFlags = NIF_INFO;
    balloon.dwInfoFlags = NIIF_INFO;
    const std::wstring wideTitle = Widen(title).substr(0, std::size(balloon.szInfoTitle) - 1);
    const std::wstring wideText = Widen(text).substr(0, std::size(balloon.szInfo) - 1);
    wideTitle.copy(balloon.szInfoTitle, wideTitle.size());
    balloon.szInfoTitle[wideTitle.size()] = L'\0';
    wideText.copy(balloon.szInfo, wideText.size());
    balloon.szInfo[wideText.size()] = L'\0';
    Shell_NotifyIconW(NIM_MODIFY, &balloon);
}

void WinTrayIcon::restore()
{
    if (shown()) notify(NIM_ADD);
}

}  // namespace kesrow::win32
