// The About box's registry lookup on Linux, where there is no registry:
// the tool's key answers with an installed system information program.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace kesrow {

class SysinfoRegistry : public Registry {
public:
    // searchPath: a PATH-style list; tools: program names, best first.
    SysinfoRegistry();
    SysinfoRegistry(std::string searchPath, std::vector<std::string> tools);

    // Only HKEY_LOCAL_MACHINE "SOFTWARE\Microsoft\Shared Tools\MSINFO" exists,
    // for reading; every other key is absent (2), write access is refused (5).
    long RegOpenKeyExA(std::uint32_t rootKey, const std::string& subKey, std::uint32_t options,
                       std::uint32_t access, std::uint32_t* key) override;
    // "PATH": REG_SZ, the full path of the first tool found, NUL-terminated
    // UTF-8; absent (2) when none is installed; 234 when it does not fit.
    long RegQueryValueExA(std::uint32_t key, const std::string& valueName, std::uint32_t* type,
                          std::vector<unsigned char>& buffer, std::uint32_t* size) override;
    long RegCloseKey(std::uint32_t key) override;

    // The first tool on the search path, in the order of tools; "" if none.
    std::string FindTool() const;

private:
    std::string searchPath_;
    std::vector<std::string> tools_;
};

}  // namespace kesrow
