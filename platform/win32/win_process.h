// The process services on Windows: one copy per logon session, the current
// directory, and the end of the program.
#pragma once

#include <windows.h>

#include "core/platform.h"

namespace kesrow::win32 {

// GetLocalTime: the same fixed date-time text as every other copy, whatever
// the user's regional settings.
class WinClock : public Clock {
public:
    LocalDateTime now() override;
};

class WinProcess : public Process {
public:
    WinProcess() = default;
    ~WinProcess() override;
    WinProcess(const WinProcess&) = delete;
    WinProcess& operator=(const WinProcess&) = delete;

    // A named mutex in this logon session's namespace, held for the
    // process's life: the system drops it when a copy dies.
    bool previousInstance() override;
    std::string currentDirectory() override;
    // <ProgramData>\kesrow: every user's default pas.txt; "" when the
    // system cannot say where ProgramData is.
    std::string computerSettingsDirectory() override;
    [[noreturn]] void end(int exitStatus = 0) override;

private:
    HANDLE mutex_ = nullptr;
};

}  // namespace kesrow::win32
