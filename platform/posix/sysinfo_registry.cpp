#include "platform/posix/sysinfo_registry.h"

#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace kesrow {
namespace {

constexpr std::uint32_t kLocalMachine = 0x80000002;
constexpr std::uint32_t kKeyRead = 0x20019;
constexpr std::uint32_t kToolKeyHandle = 1;
constexpr const char* kToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr long kFileNotFound = 2;
constexpr long kAccessDenied = 5;
constexpr long kInvalidHandle = 6;
constexpr long kMoreData = 234;
constexpr std::uint32_t kRegSz = 1;

bool IsExecutableFile(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

SysinfoRegistry::SysinfoRegistry()
    : SysinfoRegistry(std::getenv("PATH") ? std::getenv("PATH") : "/usr/local/bin:/usr/bin:/bin",
                      {"hardinfo", "gnome-system-monitor", "kinfocenter"})
{
}

SysinfoRegistry::SysinfoRegistry(std::string searchPath, std::vector<std::string> tools)
    : searchPath_(std::move(searchPath)), tools_(std::move(tools))
{
}

std::string SysinfoRegistry::FindTool() const
{
    for (const auto& tool : tools_) {
        std::istringstream dirs(searchPath_);
        std::string dir;
        while (std::getline(dirs, dir, ':')) {
            // An empty entry would mean the current directory: not a place
            // to start programs from.
            if (dir.empty()) continue;
            const std::string candidate = dir + "/" + tool;
            if (IsExecutableFile(candidate)) return candidate;
        }
    }
    return {};
}

long SysinfoRegistry::RegOpenKeyExA(std::uint32_t rootKey, const std::string& subKey,
                                    std::uint32_t /*options*/, std::uint32_t access, std::uint32_t* key)
{
    *key = 0;
    // Key names are compared without regard to case, as the registry does.
    if (rootKey != kLocalMachine || ::strcasecmp(subKey.c_str(), kToolKey) != 0) return kFileNotFound;
    if ((access & ~kKeyRead) != 0) return kAccessDenied;
    *key = kToolKeyHandle;
    return 0;
}

long SysinfoRegistry::RegQueryValueExA(std::uint32_t key, const std::string& valueName, std::uint32_t* type,
                                       std::vector<unsigned char>& buffer, std::uint32_t* size)
{
    if (key != kToolKeyHandle) return kInvalidHandle;
    if (::strcasecmp(valueName.c_str(), "PATH") != 0) return kFileNotFound;
    const std::string path = FindTool();
    if (path.empty()) return kFileNotFound;

    const std::uint32_t needed = path.size() + 1;
    const std::uint32_t offered = std::min<std::size_t>(*size, buffer.size());
    *type = kRegSz;
    *size = needed;
    if (needed > offered) return kMoreData;
    std::memcpy(buffer.data(), path.c_str(), needed);
    return 0;
}

long SysinfoRegistry::RegCloseKey(std::uint32_t key)
{
    return key == kToolKeyHandle ? 0 : kInvalidHandle;
}

}  // namespace kesrow
