// The command line, the same on every system: the answers it gives itself
// (--status, --report, --help, --version, a wrong option) or the program to
// start, and never an exception that aborts the program.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kesrow {

enum class StartedProgram { Tray, Console };

// arguments: those after the program's name. Returns the exit status.
int RunCommandLine(const std::vector<std::string>& arguments, const std::function<int(StartedProgram)>& start);

}  // namespace kesrow
