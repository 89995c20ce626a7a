// The platform services of a copy without a display: the icon is a line on
// standard output, boxes are text on standard error answered on standard
// input.
#pragma once

#include <string>

#include "platform/console/console_loop.h"
#include "platform/platform.h"
#include "platform/posix/posix_services.h"

namespace kesrow {

// Prints "icon <image> <tooltip>" for every add; removals print nothing.
class ConsoleTray : public TrayIcon {
public:
    std::int32_t imageListHandle() override { return 1; }
    void setImageList(std::int32_t) override {}  // one list, the two image numbers
    void add(std::int32_t id, std::int16_t image, const std::string& tooltip) override;
    void remove(std::int32_t) override {}
};

class ConsoleDialogs : public Dialogs {
public:
    explicit ConsoleDialogs(ConsoleLoop& loop) : loop_(loop) {}
    int messageBox(const std::string& prompt, int style, const std::string& title) override;
    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;
    void beep() override;

    // How long the violation warning stays "open" when no one can press Enter.
    static constexpr int kWarningHoldMs = 5000;

private:
    void holdWarning();
    ConsoleLoop& loop_;
};

class ConsoleTimer : public PollTimer {
public:
    ConsoleTimer(ConsoleLoop& loop, int intervalMs) : loop_(loop), intervalMs_(intervalMs) {}
    void setEnabled(bool enabled) override { loop_.setTimer(enabled, intervalMs_); }

private:
    ConsoleLoop& loop_;
    int intervalMs_;
};

class ConsoleProcess : public Process {
public:
    explicit ConsoleProcess(ConsoleLoop& loop) : loop_(loop) {}
    bool previousInstance() override { return !lock_.Acquire(); }
    std::string currentDirectory() override { return CurrentDirectory(); }
    void formUnloaded() override { loop_.quit(); }
    [[noreturn]] void end() override;

private:
    ConsoleLoop& loop_;
    InstanceLock lock_;
};

// A CR of a box text (alone or before LF) as one line break.
std::string ConsoleLineBreaks(const std::string& text);

}  // namespace kesrow
