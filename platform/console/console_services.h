// The platform services of a copy without a display: the icon is a line on
// standard output, boxes are text on standard error answered on standard
// input.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/console/console_loop.h"
#include "core/platform.h"
#include "platform/linux/posix_services.h"

namespace kesrow {

// Prints "icon <image> <tooltip>" for every show and "notice <text>" for a
// notice; hiding prints nothing.
class ConsoleTray : public TrayIcon {
public:
    void show(TrayImage image, const std::string& tooltip) override;
    void hide() override {}
    void showNotice(const std::string& title, const std::string& text) override;
};

// Without a display there is no menu, so nothing opens one.
class NoForms : public Forms {
public:
    int popupMenu(const std::vector<std::string>&, int) override { return -1; }
    void showLogViewer(const std::string&) override {}
    void showAbout(const std::function<void()>&) override {}
};

class ConsoleDialogs : public Dialogs {
public:
    explicit ConsoleDialogs(ConsoleLoop& loop) : loop_(loop) {}
    Answer messageBox(const std::string& prompt, BoxStyle style, const std::string& title) override;
    // Stays "open" until Enter on a terminal, else for kWarningHoldMs.
    void violationWarning(const std::string& prompt, const std::string& title) override;
    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;
    void beep() override;

    // A box met the end of its input: nobody is there to answer.
    std::function<void()> onUnanswered;

    // How long the violation warning stays "open" when no one can press Enter.
    static constexpr int kWarningHoldMs = 5000;

private:
    bool readAnswer(std::string& answer);

    ConsoleLoop& loop_;
};

}  // namespace kesrow
