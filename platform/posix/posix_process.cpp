#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <system_error>

#include "platform/posix/posix_services.h"

namespace kesrow {

std::string CurrentDirectory()
{
    // glibc sizes the buffer itself when given none.
    std::unique_ptr<char, decltype(&std::free)> cwd(getcwd(nullptr, 0), &std::free);
    if (!cwd)
        throw std::system_error(errno, std::generic_category(), "getcwd");
    return cwd.get();
}

void PosixProcess::formUnloaded()
{
    unloaded_ = true;
    if (onUnloaded) onUnloaded();
}

void PosixProcess::end()
{
    std::fflush(stdout);
    std::fflush(stderr);
    _exit(0);
}

}  // namespace kesrow
