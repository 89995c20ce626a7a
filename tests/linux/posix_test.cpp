// The Linux services against the real system: the instance lock, the clock,
// the current directory and the system information tool.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>

#include "fake_platform.h"
#include "platform/linux/posix_services.h"

namespace kesrow::testing {
namespace {

// 1 when another process gets the lock, 0 when it is refused.
int OtherCopyGetsLock(const std::vector<std::string>& paths)
{
    int status = 0;
    if (const pid_t child = fork(); child == 0) _exit(InstanceLock(paths).Acquire() ? 1 : 0); else waitpid(child, &status, 0);
    return WEXITSTATUS(status);
}

TEST(Posix, InstanceLock)
{
    TempDir runtime;
    // The user's runtime folder counts only when it is theirs with mode 0700,
    // whatever the environment says.
    const std::string mine = runtime.file(std::to_string(getuid())), lock = mine + "/kesrow.lock";
    setenv("XDG_RUNTIME_DIR", "/tmp", 1);
    const auto paths = [&] { return InstanceLockPaths(getuid(), runtime.path().string(), "PC01"); };
    // A copy started before the runtime folder appeared keeps out one started after.
    InstanceLock early(paths());
    ASSERT_TRUE(early.Acquire());
    std::filesystem::create_directory(mine);
    for (auto [mode, chosen] : {std::pair{0755, false}, {0777, false}, {0700, true}}) {
        chmod(mine.c_str(), mode);
        EXPECT_EQ(paths().front() == lock, chosen) << std::oct << mode;
    }
    EXPECT_EQ(OtherCopyGetsLock(paths()), 0);
    EXPECT_TRUE(paths().back().ends_with("/.cache/kesrow/PC01.lock"));
    auto first = std::make_unique<PosixProcess>(std::vector{lock});
    EXPECT_FALSE(first->previousInstance());
    EXPECT_FALSE(first->previousInstance()) << "asking again in the holder is harmless";
    EXPECT_EQ(OtherCopyGetsLock({lock}), 0);
    EXPECT_TRUE(PosixProcess({lock}).previousInstance());
    const pid_t started = fork();  // a program the copy starts outlives it
    if (started == 0) execlp("sleep", "sleep", "60", nullptr), _exit(127);
    for (int ms = 0; ms < 20000 && ReadBytes("/proc/" + std::to_string(started) + "/comm") != "sleep\n"; ++ms) usleep(1000);
    first.reset();
    EXPECT_EQ(OtherCopyGetsLock({lock}), 1);
    kill(started, SIGKILL);
    waitpid(started, nullptr, 0);
    std::filesystem::remove(lock);
    std::filesystem::create_symlink(runtime.file("elsewhere"), lock);
    EXPECT_THROW(InstanceLock({lock}).Acquire(), std::system_error);
    EXPECT_FALSE(Exists(runtime.file("elsewhere")));
}

TEST(Posix, ClockAndCurrentDirectory)
{
    setenv("TZ", "JST-9", 1);  // Japan's time, nine hours ahead of UTC
    tzset();
    const std::time_t japan = std::time(nullptr) + 9 * 3600;
    const LocalDateTime t = LocalClock().now();
    std::tm u{};
    gmtime_r(&japan, &u);
    EXPECT_EQ((std::vector{t.year, t.month, t.day, t.hour, t.minute}),
              (std::vector{u.tm_year + 1900, u.tm_mon + 1, u.tm_mday, u.tm_hour, u.tm_min}));
    const auto original = std::filesystem::current_path();
    {
        TempDir dir;
        std::filesystem::current_path(dir.path());
        EXPECT_EQ(CurrentDirectory(), std::filesystem::canonical(dir.path()).string());
    }
    EXPECT_THROW(CurrentDirectory(), std::system_error);
    std::filesystem::current_path(original);
}

TEST(Posix, SystemInfoTool)
{
    TempDir a, b;
    auto tool = [](const TempDir& dir, const std::string& name, mode_t mode) {
        WriteBytes(dir.file(name), "#!/bin/sh\necho \"$0\" > \"$0.ran\"\n");
        chmod(dir.file(name).c_str(), mode);
        return dir.file(name);
    };
    tool(a, "kinfocenter", 0755);
    const std::string monitor = tool(b, "gnome-system-monitor", 0755), plain = tool(a, "hardinfo", 0644);
    const std::vector<std::string> tools{"hardinfo", "gnome-system-monitor", "kinfocenter"};
    // An empty PATH entry is no way into the working folder, where anyone may have planted a tool.
    TempDir cwd;
    tool(cwd, "hardinfo", 0755);
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(cwd.path());
    const std::string A = a.path().string(), B = b.path().string();
    for (const auto& [path, found] : {std::pair{A + "::" + B, monitor}, {":" + B, monitor}, {B + ":", monitor}, {":", ""}})
        EXPECT_EQ(PosixSystemInfoTool(path, tools).find(), found) << path;
    std::filesystem::current_path(before);
    // A name a shell would split or expand reaches the program whole.
    const std::string odd = tool(a, "my tool;$x", 0755);
    PosixSystemInfoTool().start(odd);
    for (int ms = 0; ms < 20000 && ReadBytes(odd + ".ran") != odd + "\n"; ++ms) usleep(1000);  // written, not just created
    EXPECT_EQ(ReadBytes(odd + ".ran"), odd + "\n");
    for (const std::string& path : {std::string(), a.file("missing"), plain})
        EXPECT_THROW(PosixSystemInfoTool().start(path), std::system_error) << path;
}

}  // namespace
}  // namespace kesrow::testing
