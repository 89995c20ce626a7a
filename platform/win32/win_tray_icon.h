// IconTray1 on Shell_NotifyIconW: icon 1 of the hidden main window, its two
// pictures taken from the program's icon resources.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "core/platform.h"

namespace kesrow::win32 {

// The tooltip in at most room - 1 characters, as the notification area holds
// it: a holder's name too long for it is cut, with "…", never the sentence
// around it, and never inside a character.
std::wstring TipText(const std::string& tooltip, std::size_t room);

class WinTrayIcon : public TrayIcon {
public:
    // Mouse actions on the icon arrive at window as callbackMessage, the
    // mouse message in lParam.
    WinTrayIcon(HWND window, UINT callbackMessage);
    ~WinTrayIcon() override;

    // NIM_ADD when no icon is shown, else NIM_MODIFY: the icon changes in place.
    void show(TrayImage image, const std::string& tooltip) override;
    void hide() override;
    // A balloon from the icon; none while no icon is shown.
    void showNotice(const std::string& title, const std::string& text) override;
    // Explorer started again (the "TaskbarCreated" message): the icon it forgot goes back.
    void restore();

    bool shown() const { return shown_; }
    // The picture last handed to the notification area.
    HICON picture() const { return data_.hIcon; }

private:
    bool notify(DWORD message);

    NOTIFYICONDATAW data_{};
    HICON pictures_[3] = {};  // by TrayImage, from 1
    bool shown_ = false;
};

}  // namespace kesrow::win32
