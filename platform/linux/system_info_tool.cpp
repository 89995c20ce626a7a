#include "platform/linux/posix_services.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <system_error>
#include <thread>

extern char** environ;

namespace kesrow {
namespace {

// Spawn attributes that give the child a clean signal state and its own
// session, so that the front end's blocked signals and its terminal's
// Ctrl+C do not reach the tool.
class SpawnAttributes {
public:
    SpawnAttributes()
    {
        posix_spawnattr_init(&attr_);
        sigset_t none, defaults;
        sigemptyset(&none);
        sigemptyset(&defaults);
        for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGCHLD}) sigaddset(&defaults, sig);
        posix_spawnattr_setsigmask(&attr_, &none);
        posix_spawnattr_setsigdefault(&attr_, &defaults);
        posix_spawnattr_setflags(&attr_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);
    }
    ~SpawnAttributes() { posix_spawnattr_destroy(&attr_); }
    const posix_spawnattr_t* get() const { return &attr_; }

private:
    posix_spawnattr_t attr_;
};

bool IsExecutableFile(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

PosixSystemInfoTool::PosixSystemInfoTool()
    : PosixSystemInfoTool(std::getenv("PATH") ? std::getenv("PATH") : "/usr/local/bin:/usr/bin:/bin",
                          {"hardinfo", "gnome-system-monitor", "kinfocenter"})
{
}

PosixSystemInfoTool::PosixSystemInfoTool(std::string searchPath, std::vector<std::string> tools)
    : searchPath_(std::move(searchPath)), tools_(std::move(tools))
{
}

std::string PosixSystemInfoTool::find()
{
    for (const auto& tool : tools_) {
        std::istringstream dirs(searchPath_);
        std::string dir;
        while (std::getline(dirs, dir, ':')) {
            // An empty entry would mean the current directory: not a place
            // to start programs from.
            if (dir.empty()) continue;
            const std::string candidate = dir + "/" + tool;
            if (IsExecutableFile(candidate)) return candidate;
        }
    }
    return {};
}

void PosixSystemInfoTool::start(const std::string& path)
{
    SpawnAttributes attributes;
    std::string arg0 = path;
    char* argv[] = {arg0.data(), nullptr};
    pid_t pid = 0;
    // glibc reports a failed exec as the result, so a path that exists but
    // cannot run fails here too.
    const int rc = ::posix_spawn(&pid, path.c_str(), nullptr, attributes.get(), argv, environ);
    if (rc != 0) throw std::system_error(rc, std::generic_category(), "cannot start " + path);
    // The tool runs on by itself; reap it when it ends so it leaves no zombie.
    std::thread([pid] { ::waitpid(pid, nullptr, 0); }).detach();
}

}  // namespace kesrow
