// The command line of kesrow.exe: its arguments, and the console of the
// program that started it (a GUI-subsystem program gets none of its own).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kesrow::win32 {

// The arguments after the program's name, as UTF-8.
std::vector<std::string> CommandLineArguments();
// Writes to the starting program's console from now on, when it has one.
void AttachParentConsole();
// UTF-8 text to standard output or standard error: as wide text when that is
// a console, so every character shows whatever the console's code page, and
// as the same bytes a Linux copy writes when it is a file or a pipe.
void WriteStandard(bool error, std::string_view utf8);
// A line typed on the console the program was started from, as UTF-8
// without its line end; nothing when there is no console or its input ended.
std::optional<std::string> ReadConsoleLine();
// The user's display language is Japanese.
bool UserReadsJapanese();

}  // namespace kesrow::win32
