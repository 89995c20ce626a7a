#include "ui/about_box.h"

#include <exception>

#include "core/texts.h"

namespace kesrow {

frmAbout::frmAbout(Dialogs& dialogs, SystemInfoTool& tool) : dialogs_(dialogs), tool_(tool) {}

void frmAbout::StartSysInfo()
{
    try {
        const std::string ToolPath = tool_.find();
        if (!ToolPath.empty()) {
            tool_.start(ToolPath);
            return;
        }
    } catch (const std::exception&) {
        // Every failure ends in the one message below.
    }
    // A box with no title of its own shows the program's title.
    dialogs_.messageBox(kSysInfoUnavailable, BoxStyle::OkOnly, kTitle);
}

}  // namespace kesrow
