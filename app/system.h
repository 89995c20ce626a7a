// The few services of this system the command line uses, under one name on
// every system: its process (the working folder and the computer's settings
// folder), its clock, the user's language and the standard streams.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#ifdef _WIN32
#include "platform/win32/win_console.h"
#include "platform/win32/win_process.h"
#include "platform/win32/winsock_host_name.h"

namespace kesrow::sys {
using Process = win32::WinProcess;
using Clock = win32::WinClock;
using HostName = win32::WinsockHostName;
using win32::UserReadsJapanese;
using win32::WriteStandard;
inline std::optional<std::string> ReadTerminalLine() { return win32::ReadConsoleLine(); }
// The tray program is the only one on Windows.
inline constexpr bool kConsoleCopy = false;
}  // namespace kesrow::sys
#else
#include <unistd.h>

#include <iostream>

#include "platform/linux/posix_services.h"

namespace kesrow::sys {
using Process = PosixProcess;
using Clock = LocalClock;
using HostName = PosixHostName;
using kesrow::UserReadsJapanese;
inline void WriteStandard(bool error, std::string_view text) { std::fwrite(text.data(), 1, text.size(), error ? stderr : stdout); }
// A line typed on the terminal, without its line end; nothing when standard
// input is no terminal or has ended.
inline std::optional<std::string> ReadTerminalLine()
{
    std::string line;
    std::fflush(stdout);  // the question first
    if (!isatty(0) || !std::getline(std::cin, line)) return {};
    return line;
}
inline constexpr bool kConsoleCopy = true;
}  // namespace kesrow::sys
#endif
