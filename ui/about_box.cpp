#include "ui/about_box.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "core/main_form.h"

namespace kesrow {
namespace {

// "&h" followed by hex digits reads as that number; anything else is left
// as it is, as the general number formatting does with text.
std::string GeneralFormat(const std::string& text)
{
    if (text.size() <= 2 || text.compare(0, 2, "&h") != 0) return text;
    std::uint64_t value = 0;
    const char* first = text.data() + 2;
    const char* last = text.data() + text.size();
    auto [end, ec] = std::from_chars(first, last, value, 16);
    if (ec != std::errc() || end != last) return text;
    return std::to_string(value);
}

}  // namespace

std::string DwordValueText(const std::string& ValueText, const std::string& cutBuffer)
{
    std::string digits = ValueText;
    for (auto it = cutBuffer.rbegin(); it != cutBuffer.rend(); ++it) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned char>(*it));
        digits += hex;
    }
    return GeneralFormat("&h" + digits);
}

frmAbout::frmAbout(Dialogs& dialogs, Registry& registry, ProgramLauncher& launcher)
    : dialogs_(dialogs), registry_(registry), launcher_(launcher)
{
}

void frmAbout::StartSysInfo()
{
    try {
        std::string ToolPath;
        if (!GetKeyValue(HKEY_LOCAL_MACHINE_, kMsinfoKey, "PATH", ToolPath)) {
            if (!GetKeyValue(HKEY_LOCAL_MACHINE_, kSharedToolsLocationKey, "MSINFO", ToolPath) ||
                launcher_.findFile(ToolPath + kMsinfoExe).empty()) {
                dialogs_.messageBox(kSysInfoUnavailable, vbOKOnly, kTitle);
                return;
            }
            ToolPath += kMsinfoExe;
        }
        launcher_.start(ToolPath, 1);
    } catch (const std::exception&) {
        // A box with no title of its own shows the program's title.
        dialogs_.messageBox(kSysInfoUnavailable, vbOKOnly, kTitle);
    }
}

bool frmAbout::GetKeyValue(std::uint32_t RootKey, const std::string& SubKeyPath,
                           const std::string& ValueName, std::string& ValueText)
{
    std::uint32_t hKey = 0;
    if (registry_.RegOpenKeyExA(RootKey, SubKeyPath, 0, KEY_READ_, &hKey) != 0) {
        ValueText.clear();
        registry_.RegCloseKey(hKey);  // closed even after a failed open
        return false;
    }
    // Closes the key on every way out, the missing NUL included.
    struct KeyCloser {
        Registry& registry;
        std::uint32_t key;
        ~KeyCloser() { registry.RegCloseKey(key); }
    } closer{registry_, hKey};

    std::vector<unsigned char> buffer(kKeyValueBufferSize, 0);
    std::uint32_t size = kKeyValueBufferSize;
    std::uint32_t type = 0;
    if (registry_.RegQueryValueExA(hKey, ValueName, &type, buffer, &size) != 0) {
        ValueText.clear();
        return false;
    }
    // The size the query returns is not used: the value ends at its first NUL.
    auto nul = std::find(buffer.begin(), buffer.end(), 0);
    if (nul == buffer.end())
        throw std::runtime_error("registry value " + ValueName + " fills the buffer without a NUL");
    const std::string cut(buffer.begin(), nul);

    if (type == REG_SZ_)
        ValueText = cut;
    else if (type == REG_DWORD_)
        ValueText = DwordValueText(ValueText, cut);
    return true;
}

}  // namespace kesrow
