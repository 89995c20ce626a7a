// Message boxes, the input box and the beep, owned by the hidden main window.
#pragma once

#include <windows.h>

#include "core/platform.h"

namespace kesrow::win32 {

// A box text with every line break as CR LF, as Windows controls draw them.
std::wstring BoxText(const std::string& prompt);

class WinDialogs : public Dialogs {
public:
    explicit WinDialogs(HWND owner = nullptr) : owner_(owner) {}

    Answer messageBox(const std::string& prompt, BoxStyle style, const std::string& title) override;
    void violationWarning(const std::string& prompt, const std::string& title) override;
    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;
    void beep() override;

private:
    // The form that is open, so that it waits for the box (the About box
    // cannot ask for its tool again meanwhile); else the main window.
    HWND owner() const;

    HWND owner_;
};

}  // namespace kesrow::win32
