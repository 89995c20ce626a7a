#include "platform/posix/program_launcher.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

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

}  // namespace

std::string PosixProgramLauncher::findFile(const std::string& fullName)
{
    struct stat st {};
    if (::stat(fullName.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    return fullName.substr(fullName.find_last_of('/') + 1);
}

void PosixProgramLauncher::start(const std::string& path, int /*windowStyle*/)
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
