#include "private_netns.h"

#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "test_files.h"

namespace kesrow::testing {

namespace {
// Names the file in which the rerun test notes that it ran.
constexpr const char* kMarker = "KESROW_TEST_IN_PRIVATE_NETNS";
}

bool InPrivateNetNamespace() { return std::getenv(kMarker) != nullptr; }

void NoteTestRunsInside() { std::ofstream(std::getenv(kMarker)) << "ran"; }

std::string WhyNoPrivateNetNamespace()
{
    if (geteuid() != 0)
        return "needs root (CAP_NET_ADMIN) for a network namespace with tun devices";
    if (access("/dev/net/tun", R_OK | W_OK) != 0)
        return std::string("no usable /dev/net/tun: ") + std::strerror(errno);
    return "";
}

int RerunInPrivateNetNamespace()
{
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string filter =
        std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name();
    TempDir dir;
    const std::string marker = dir.file("ran");
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0)
        return 127;
    if (child == 0) {
        if (unshare(CLONE_NEWNET) != 0) {
            std::fprintf(stderr, "unshare(CLONE_NEWNET): %s\n", std::strerror(errno));
            _exit(126);
        }
        setenv(kMarker, marker.c_str(), 1);
        unsetenv("GTEST_OUTPUT");
        execl("/proc/self/exe", "/proc/self/exe", filter.c_str(), static_cast<char*>(nullptr));
        std::fprintf(stderr, "exec /proc/self/exe: %s\n", std::strerror(errno));
        _exit(127);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status))
        return 128 + WTERMSIG(status);
    if (WEXITSTATUS(status) == 0 && ReadBytes(marker) != "ran")
        return 125;
    return WEXITSTATUS(status);
}

}  // namespace kesrow::testing
