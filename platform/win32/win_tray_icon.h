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

    void add(TrayImage image, const std::string& tooltip) override;
    // The icon leaves at the next turn of the message loop (flush) unless an
    // add comes first: a remove-then-add changes the icon in place.
    void remove() override;
    // A balloon from the icon; none while no icon is shown.
    void showNotice(const std::string& title, const std::string& text) override;
    void flush();
    // Explorer started again (the "TaskbarCreated" message): the icon it forgot goes back.
    void restore();

    bool shown() const { return shown_ && !leaving_; }
    // The picture last handed to the notification area.
    HICON picture() const { return data_.hIcon; }
    static UINT FlushMessage() { return WM_APP + 2; }

private:
    bool notify(DWORD message);

    HWND window_;
    NOTIFYICONDATAW data_{};
    HICON pictures_[3] = {};  // by TrayImage, from 1
    bool shown_ = false;
    bool leaving_ = false;
};

}  // namespace kesrow::win32
