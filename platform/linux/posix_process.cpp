#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>

#include "platform/linux/posix_services.h"

namespace kesrow {

std::string CurrentDirectory()
{
    // glibc sizes the buffer itself when given none.
    std::unique_ptr<char, decltype(&std::free)> cwd(getcwd(nullptr, 0), &std::free);
    if (!cwd)
        throw std::system_error(errno, std::generic_category(), "getcwd");
    return cwd.get();
}

bool UserReadsJapanese()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) return std::string_view(value).starts_with("ja");
    }
    return false;
}

std::string ComputerSettingsDirectory()
{
    namespace fs = std::filesystem;
    // Settled from where the program is, as the install rules do, so that a
    // package and `cmake --install --prefix` each find their own.
    const fs::path sysconfdir = KESROW_SYSCONFDIR;
    if (sysconfdir.is_absolute()) return (sysconfdir / "kesrow").string();
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    const fs::path bindir = program.parent_path();
    if (ec || bindir.filename() != fs::path(KESROW_BINDIR).filename())
        return (fs::path(KESROW_FULL_SYSCONFDIR) / "kesrow").string();
    const fs::path prefix = bindir.parent_path();
    // GNUInstallDirs: the sysconfdir of /usr is /etc.
    return ((prefix == "/usr" ? fs::path("/") : prefix) / sysconfdir / "kesrow").string();
}

void PosixProcess::end(int status)
{
    std::fflush(stdout);
    std::fflush(stderr);
    _exit(status ? status : exitStatus);
}

}  // namespace kesrow
