// frmAbout's StartSysInfo lookup: the system information tool's path from
// the two registry values of the Shared Tools keys, started with
// CreateProcessW.
#pragma once

#include <windows.h>

#include <string>

#include "core/platform.h"

namespace kesrow::win32 {

class RegistrySystemInfoTool : public SystemInfoTool {
public:
    // "PATH" under Shared Tools\MSINFO as it stands; else the folder in
    // "MSINFO" under Shared Tools Location followed by "\MSINFO32.EXE" when
    // that ordinary file is there; else "". Throws when a value fills the
    // whole buffer without a NUL.
    std::string find() override;
    // A normal window with the focus, no shell; throws std::system_error.
    void start(const std::string& path) override;

    // True when the value was read into ValueText; false, with ValueText
    // emptied, when the key cannot be opened for reading or the value not
    // read. A type other than REG_SZ and REG_DWORD leaves ValueText as it was.
    static bool GetKeyValue(HKEY RootKey, const std::string& SubKeyPath, const std::string& ValueName,
                            std::string& ValueText);
};

}  // namespace kesrow::win32
