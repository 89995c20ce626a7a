// The few services of this system the command line uses, under one name on
// every system: its process (the working folder and the computer's settings
// folder), its clock, the user's language and the standard streams.
#pragma once

#include <cstdio>
#include <string_view>

#ifdef _WIN32
#include "platform/win32/win_console.h"
#include "platform/win32/win_process.h"

namespace kesrow::sys {
using Process = win32::WinProcess;
using Clock = win32::WinClock;
using win32::UserReadsJapanese;
using win32::WriteStandard;
// The tray program is the only one on Windows.
inline constexpr bool kConsoleCopy = false;
}  // namespace kesrow::sys
#else
#include "platform/posix/posix_services.h"

namespace kesrow::sys {
using Process = PosixProcess;
using Clock = LocalClock;
using kesrow::UserReadsJapanese;
inline void WriteStandard(bool error, std::string_view text) { std::fwrite(text.data(), 1, text.size(), error ? stderr : stdout); }
inline constexpr bool kConsoleCopy = true;
}  // namespace kesrow::sys
#endif
