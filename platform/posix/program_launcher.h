// File search and program start for the About box, on POSIX.
#pragma once

#include <string>

#include "platform/platform.h"

namespace kesrow {

class PosixProgramLauncher : public ProgramLauncher {
public:
    // The last component of fullName when it names a regular file, else "".
    std::string findFile(const std::string& fullName) override;
    // Starts the program directly, without a shell, in a session of its own,
    // and does not wait for it. The window style is the desktop's business.
    // Throws std::system_error when it cannot be started.
    void start(const std::string& path, int windowStyle) override;
};

}  // namespace kesrow
