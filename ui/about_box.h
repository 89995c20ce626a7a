// frmAbout's logic: starting the system information tool.
#pragma once

#include "core/platform.h"

namespace kesrow {

class frmAbout {
public:
    frmAbout(Dialogs& dialogs, SystemInfoTool& tool);

    // cmdSysInfo: starts the tool, or says it cannot be used. The box stays open.
    void StartSysInfo();

private:
    Dialogs& dialogs_;
    SystemInfoTool& tool_;
};

}  // namespace kesrow
