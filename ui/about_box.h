// frmAbout's logic: finding and starting the system information tool.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace kesrow {

inline constexpr std::uint32_t HKEY_LOCAL_MACHINE_ = 0x80000002;
// Read rights only: write access under HKEY_LOCAL_MACHINE is refused to
// every user without administrator rights.
inline constexpr std::uint32_t KEY_READ_ = 0x20019;
inline constexpr std::uint32_t REG_SZ_ = 1;
inline constexpr std::uint32_t REG_DWORD_ = 4;
inline constexpr long ERROR_FILE_NOT_FOUND_ = 2;
inline constexpr long ERROR_MORE_DATA_ = 234;
inline constexpr std::size_t kKeyValueBufferSize = 1024;

inline constexpr const char* kMsinfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr const char* kSharedToolsLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr const char* kMsinfoExe = "\\MSINFO32.EXE";
inline constexpr const char* kSysInfoUnavailable = "現時点ではｼｽﾃﾑ情報を使用できません";

class frmAbout {
public:
    frmAbout(Dialogs& dialogs, Registry& registry, ProgramLauncher& launcher);

    // cmdSysInfo: starts the tool the registry names, or says it cannot.
    void StartSysInfo();

    // True when the value was read into ValueText; false, with ValueText
    // emptied, when the key or value cannot be read. Throws when the value
    // fills the whole buffer without a NUL.
    bool GetKeyValue(std::uint32_t RootKey, const std::string& SubKeyPath, const std::string& ValueName,
                     std::string& ValueText);

private:
    Dialogs& dialogs_;
    Registry& registry_;
    ProgramLauncher& launcher_;
};

// A REG_DWORD as the box reads it: each byte of the cut buffer from last to
// first in upper-case hex without leading zeros, after what ValueText held,
// then "&h" + that as a number in decimal ("&h" + text that is no number stays).
std::string DwordValueText(const std::string& ValueText, const std::string& cutBuffer);

}  // namespace kesrow
