// The tray program as every front end runs it: the main form, its tray menu
// and Timer1's pacing, put together once. A front end brings its services
// and its event loop, and hands the loop's events on here.
#pragma once

#include <functional>

#include "core/main_form.h"
#include "core/platform.h"
#include "ui/tray_menu.h"

namespace kesrow {

class TrayProgram : private PollTimer {
public:
    // onUnloaded: what the front end does once the main form has been
    // unloaded and no form is left (leave its event loop).
    TrayProgram(const FrontEndServices& services, std::function<void()> onUnloaded, FormTimings timings = {});
    TrayProgram(const TrayProgram&) = delete;
    TrayProgram& operator=(const TrayProgram&) = delete;

    // Form_Load, posted as the loop's first event.
    void start();
    // The system or the user asks the program to close (a stop signal, the
    // end of the session, the window's frame): the unload path, which
    // releases a line this computer holds, then the process ends. Asked
    // again, or while the menu's exit runs, it does nothing more.
    void close();
    // The tray icon's right click: the popup at the pointer, then its item.
    void rightClick();
    // Item index of kMenuItems, chosen from a menu the front end shows itself.
    void choose(int index);
    // The fallback window's 終了(&X): the unload path; the loop ends then.
    void endItem();

    // The main form has been unloaded.
    bool unloaded() const { return unloaded_; }
    MainForm& form() { return form_; }

private:
    // On the main form's share worker, so that an idle tick wakes no thread but that one.
    void setEnabled(bool enabled) override;

    Platform platform_;
    UiServices ui_;
    std::function<void()> onUnloaded_;
    bool closing_ = false;
    bool unloaded_ = false;
    MainForm form_;
    TrayMenu menu_;
};

}  // namespace kesrow
