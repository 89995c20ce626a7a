#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include <gtest/gtest.h>

#include "platform/posix/posix_services.h"
#include "scoped_env.h"
#include "test_files.h"

namespace kesrow {
namespace {

using testing::ScopedEnv;
using testing::TempDir;

int WaitFor(pid_t pid)
{
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Acquire() in a child process: 1 when it got the lock, 0 when refused.
int AcquireInChild()
{
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        InstanceLock lock;
        _exit(lock.Acquire() ? 1 : 0);
    }
    return WaitFor(child);
}

class InstanceLockTest : public ::testing::Test {
protected:
    TempDir runtimeDir;
    ScopedEnv runtime{"XDG_RUNTIME_DIR", runtimeDir.path().string()};
};

TEST_F(InstanceLockTest, LivesInTheUsersRuntimeDirectoryElseInTmp)
{
    EXPECT_EQ(InstanceLockPath(), runtimeDir.file("kesrow.lock"));
    InstanceLock lock;
    ASSERT_TRUE(lock.Acquire());
    EXPECT_TRUE(std::filesystem::is_regular_file(runtimeDir.file("kesrow.lock")));

    // Without a usable runtime directory: a per-user file in /tmp.
    const std::string fallback = "/tmp/kesrow-" + std::to_string(getuid()) + ".lock";
    {
        ScopedEnv unset("XDG_RUNTIME_DIR", std::nullopt);
        EXPECT_EQ(InstanceLockPath(), fallback);
    }
    {
        ScopedEnv empty("XDG_RUNTIME_DIR", "");
        EXPECT_EQ(InstanceLockPath(), fallback);
    }
    testing::WriteBytes(runtimeDir.file("plain-file"), "");
    ScopedEnv notADirectory("XDG_RUNTIME_DIR", runtimeDir.file("plain-file"));
    EXPECT_EQ(InstanceLockPath(), fallback);
}

TEST_F(InstanceLockTest, SecondCopyIsRefusedWhileTheFirstHoldsIt)
{
    auto first = std::make_unique<InstanceLock>();
    ASSERT_TRUE(first->Acquire());
    EXPECT_TRUE(first->Acquire()) << "asking again in the holder is harmless";
    EXPECT_EQ(AcquireInChild(), 0);
    InstanceLock sameProcess;
    EXPECT_FALSE(sameProcess.Acquire());

    first.reset();
    EXPECT_EQ(AcquireInChild(), 1);
}

TEST_F(InstanceLockTest, ProgramsTheCopyStartsDoNotInheritIt)
{
    auto lock = std::make_unique<InstanceLock>();
    ASSERT_TRUE(lock->Acquire());
    // The pipe closes when the child has exec'd: from then on only
    // close-on-exec keeps the lock out of the started program.
    int execed[2];
    ASSERT_EQ(pipe2(execed, O_CLOEXEC), 0);
    std::fflush(nullptr);
    const pid_t started = fork();
    if (started == 0) {
        execlp("sleep", "sleep", "60", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(execed[1]);
    char none;
    ASSERT_EQ(read(execed[0], &none, 1), 0);
    close(execed[0]);
    lock.reset();  // the copy ends; the program it started lives on
    EXPECT_EQ(AcquireInChild(), 1);
    kill(started, SIGKILL);
    WaitFor(started);
}

TEST_F(InstanceLockTest, UnopenableLockFileIsAnError)
{
    std::filesystem::create_symlink(runtimeDir.file("elsewhere"), runtimeDir.file("kesrow.lock"));
    InstanceLock lock;
    EXPECT_THROW(lock.Acquire(), std::system_error);
    EXPECT_FALSE(testing::Exists(runtimeDir.file("elsewhere"))) << "a planted link is not followed";
}

}  // namespace
}  // namespace kesrow
