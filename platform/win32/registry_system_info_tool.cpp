#include "platform/win32/registry_system_info_tool.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <stdexcept>
#include <system_error>

#include "core/wide_text_win32.h"

namespace kesrow::win32 {
namespace {

constexpr const char* kMsinfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kSharedToolsLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr const char* kMsinfoExe = "\\MSINFO32.EXE";
constexpr DWORD kValueBufferSize = 1024;

class KeyCloser {
public:
    explicit KeyCloser(HKEY key) : key_(key) {}
    ~KeyCloser() { RegCloseKey(key_); }
    KeyCloser(const KeyCloser&) = delete;
    KeyCloser& operator=(const KeyCloser&) = delete;

private:
    HKEY key_;
};

// The file search with attribute mask 0: an ordinary file, not a folder,
// hidden or system file.
bool OrdinaryFileExists(const std::string& path)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Widen(path).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return !(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

// A REG_DWORD as GetKeyValue reads it: the bytes of the buffer cut at its
// first NUL, last to first, in upper-case hex without leading zeros, after
// what ValueText held; "&h" and those digits read as a number, in decimal.
std::string DwordValueText(const std::string& ValueText, const std::string& cutBuffer)
{
    std::string digits = ValueText;
    for (auto it = cutBuffer.rbegin(); it != cutBuffer.rend(); ++it) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned char>(*it));
        digits += hex;
    }
    std::uint64_t value = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()) return "&h" + digits;
    return std::to_string(value);
}

}  // namespace

bool RegistrySystemInfoTool::GetKeyValue(HKEY RootKey, const std::string& SubKeyPath,
                                         const std::string& ValueName, std::string& ValueText)
{
    HKEY key = nullptr;
    // Read rights only: write access under HKEY_LOCAL_MACHINE is refused to
    // users without administrator rights.
    if (RegOpenKeyExA(RootKey, SubKeyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        ValueText.clear();
        return false;
    }
    KeyCloser closer(key);

    std::string buffer(kValueBufferSize, '\0');
    DWORD size = kValueBufferSize;
    DWORD type = 0;
    if (RegQueryValueExA(key, ValueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
        ERROR_SUCCESS) {
        ValueText.clear();
        return false;
    }
    // The size the query returns is not used: the value ends at its first NUL.
    const auto nul = buffer.find('\0');
    if (nul == std::string::npos)
        throw std::runtime_error("registry value " + ValueName + " fills the buffer without a NUL");
    const std::string cut = buffer.substr(0, nul);
    if (type == REG_SZ)
        ValueText = FromAnsi(cut);
    else if (type == REG_DWORD)
        ValueText = DwordValueText(ValueText, cut);
    return true;
}

std::string RegistrySystemInfoTool::find()
{
    std::string ToolPath;
    if (GetKeyValue(HKEY_LOCAL_MACHINE, kMsinfoKey, "PATH", ToolPath)) return ToolPath;
    if (!GetKeyValue(HKEY_LOCAL_MACHINE, kSharedToolsLocationKey, "MSINFO", ToolPath)) return {};
    if (!OrdinaryFileExists(ToolPath + kMsinfoExe)) return {};
    return ToolPath + kMsinfoExe;
}

void RegistrySystemInfoTool::start(const std::string& path)
{
    std::wstring application = Widen(path);
    std::wstring commandLine = L"\"" + application + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started))
        throw std::system_error(int(GetLastError()), std::system_category(), "cannot start " + path);
    // The tool runs on by itself.
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
}

}  // namespace kesrow::win32
