#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <system_error>
#include <thread>

#include "fake_platform.h"
#include "platform/posix/program_launcher.h"
#include "platform/posix/sysinfo_registry.h"
#include "test_files.h"
#include "ui/about_box.h"

namespace kesrow::testing {
namespace {

using Calls = std::vector<std::string>;

constexpr std::uint32_t HKLM = 0x80000002;

// A shell script that records that it ran by creating marker.
std::string MakeTool(const TempDir& dir, const std::string& name, const std::string& marker, mode_t mode = 0755)
{
    const std::string path = dir.file(name);
    WriteBytes(path, "#!/bin/sh\necho \"$0\" > '" + marker + "'\n");
    ::chmod(path.c_str(), mode);
    return path;
}

// The started tool runs on its own; give it a while to leave its mark.
bool WaitFor(const std::string& path)
{
    for (int i = 0; i < 200 && !Exists(path); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return Exists(path);
}

std::string Query(SysinfoRegistry& registry, std::size_t bufferSize, long* rc)
{
    std::uint32_t key = 0;
    EXPECT_EQ(registry.RegOpenKeyExA(HKLM, kMsinfoKey, 0, 0x20019, &key), 0);
    std::vector<unsigned char> buffer(bufferSize, 0);
    std::uint32_t size = bufferSize, type = 0;
    *rc = registry.RegQueryValueExA(key, "PATH", &type, buffer, &size);
    EXPECT_EQ(registry.RegCloseKey(key), 0);
    if (*rc != 0) return {};
    EXPECT_EQ(type, 1u);
    EXPECT_EQ(size, std::strlen(reinterpret_cast<char*>(buffer.data())) + 1);
    return reinterpret_cast<char*>(buffer.data());
}

TEST(SysinfoRegistry, PathIsTheFirstToolInPreferenceOrderThatCanRun)
{
    TempDir a, b;
    MakeTool(a, "kinfocenter", "/nonexistent");
    const std::string monitor = MakeTool(b, "gnome-system-monitor", "/nonexistent");
    MakeTool(a, "hardinfo", "/nonexistent", 0644);  // not executable
    SysinfoRegistry registry(a.path().string() + "::" + b.path().string(),
                             {"hardinfo", "gnome-system-monitor", "kinfocenter"});
    long rc = -1;
    EXPECT_EQ(Query(registry, 1024, &rc), monitor);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(Query(registry, monitor.size(), &rc), "");
    EXPECT_EQ(rc, 234);  // no room for the closing NUL
}

TEST(SysinfoRegistry, OnlyTheToolKeyExistsAndOnlyForReading)
{
    SysinfoRegistry registry("/usr/bin", {"sh"});
    std::uint32_t key = 77;
    EXPECT_EQ(registry.RegOpenKeyExA(HKLM, kSharedToolsLocationKey, 0, 0x20019, &key), 2);
    EXPECT_EQ(key, 0u);
    EXPECT_EQ(registry.RegOpenKeyExA(0x80000001, kMsinfoKey, 0, 0x20019, &key), 2);
    EXPECT_EQ(registry.RegOpenKeyExA(HKLM, kMsinfoKey, 0, 0x2003F, &key), 5);
    EXPECT_EQ(registry.RegCloseKey(0), 6);
}

TEST(PosixProgramLauncher, FindFileNamesRegularFilesOnly)
{
    TempDir dir;
    WriteBytes(dir.file("MSINFO32.EXE"), "x");
    PosixProgramLauncher launcher;
    EXPECT_EQ(launcher.findFile(dir.file("MSINFO32.EXE")), "MSINFO32.EXE");
    EXPECT_EQ(launcher.findFile(dir.file("missing")), "");
    EXPECT_EQ(launcher.findFile(dir.path().string()), "");
}

TEST(PosixProgramLauncher, StartRunsTheProgramWithoutAShell)
{
    TempDir dir;
    // A name a shell would split or expand must reach the program whole.
    const std::string tool = MakeTool(dir, "my tool;$x", dir.file("ran"));
    PosixProgramLauncher().start(tool, 1);
    ASSERT_TRUE(WaitFor(dir.file("ran")));
    EXPECT_EQ(ReadBytes(dir.file("ran")), tool + "\n");
}

TEST(PosixProgramLauncher, StartThrowsWhenTheProgramCannotRun)
{
    TempDir dir;
    const std::string plain = MakeTool(dir, "plain", dir.file("ran"), 0644);
    PosixProgramLauncher launcher;
    EXPECT_THROW(launcher.start("", 1), std::system_error);
    EXPECT_THROW(launcher.start(dir.file("missing"), 1), std::system_error);
    EXPECT_THROW(launcher.start(plain, 1), std::system_error);
    EXPECT_FALSE(Exists(dir.file("ran")));
}

TEST(AboutBoxOnLinux, WithoutAToolSaysSystemInformationIsUnavailable)
{
    TempDir bin;
    FakePlatform fake;
    SysinfoRegistry registry(bin.path().string(), {"hardinfo", "gnome-system-monitor", "kinfocenter"});
    PosixProgramLauncher launcher;
    frmAbout(fake, registry, launcher).StartSysInfo();
    EXPECT_EQ(fake.calls, Calls{"msgbox 0 ケスロウ | 現時点ではｼｽﾃﾑ情報を使用できません"});
}

}  // namespace
}  // namespace kesrow::testing
