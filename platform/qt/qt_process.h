// The process services of the desktop copy: the per-user instance lock, the
// current directory, leaving the event loop and ending at once.
#pragma once

#include <functional>

#include "platform/platform.h"
#include "platform/posix/posix_services.h"

namespace kesrow::qt {

class QtProcess : public Process {
public:
    bool previousInstance() override;
    std::string currentDirectory() override;
    // Runs onUnloaded (stop the timer, hide windows), then leaves every event loop.
    void formUnloaded() override;
    // Flushes stdout and stderr and ends the process with status 0.
    [[noreturn]] void end() override;

    bool unloaded() const { return unloaded_; }
    std::function<void()> onUnloaded;

private:
    InstanceLock lock_;
    bool unloaded_ = false;
};

}  // namespace kesrow::qt
