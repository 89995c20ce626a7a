// frmAbout's system information button, against a scripted tool and
// against the real Linux finder and launcher.
#include "ui/about_box.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "platform/posix/posix_services.h"
#include "running_copy.h"

namespace kesrow::testing {
namespace {

using Calls = std::vector<std::string>;
const std::string kUnavailable = "msgbox 0 ケスロウ | 現時点ではｼｽﾃﾑ情報を使用できません";

TEST(AboutBox, TheButtonStartsTheToolOrSaysItCannotWhileTheBoxStaysOpen)
{
    struct Case {
        std::string path;
        bool startable;
        Calls expected;
    } cases[] = {
        {"/usr/bin/hardinfo", true, {"sysinfo.find", "sysinfo.start /usr/bin/hardinfo"}},
        {"", true, {"sysinfo.find", kUnavailable}},
        {"/usr/bin/hardinfo", false, {"sysinfo.find", "sysinfo.start /usr/bin/hardinfo", kUnavailable}},
    };
    for (const Case& c : cases) {
        RunningCopy copy;
        copy.sysInfo.path = c.path;
        copy.sysInfo.startable = c.startable;
        copy.forms.sysInfoPresses = 1;
        copy.menu.m_about_Click();
        Calls expected{"about"};
        expected.insert(expected.end(), c.expected.begin(), c.expected.end());
        expected.push_back("about closed");
        EXPECT_EQ(copy.fake.calls, expected) << c.path << " " << c.startable;
    }
}

// A shell script that records that it ran by creating marker.
std::string MakeTool(const TempDir& dir, const std::string& name, const std::string& marker, mode_t mode = 0755)
{
    const std::string path = dir.file(name);
    WriteBytes(path, "#!/bin/sh\necho \"$0\" > '" + marker + "'\n");
    ::chmod(path.c_str(), mode);
    return path;
}

TEST(PosixSystemInfoTool, FindsTheFirstRunnableToolInPreferenceOrder)
{
    TempDir a, b;
    MakeTool(a, "kinfocenter", "/nonexistent");
    const std::string monitor = MakeTool(b, "gnome-system-monitor", "/nonexistent");
    MakeTool(a, "hardinfo", "/nonexistent", 0644);  // not executable
    const std::vector<std::string> tools{"hardinfo", "gnome-system-monitor", "kinfocenter"};
    EXPECT_EQ(PosixSystemInfoTool(a.path().string() + "::" + b.path().string(), tools).find(), monitor);
    EXPECT_EQ(PosixSystemInfoTool(TempDir().path().string(), tools).find(), "");
}

TEST(PosixSystemInfoTool, StartsTheProgramWithoutAShellOrThrows)
{
    TempDir dir;
    // A name a shell would split or expand must reach the program whole.
    const std::string tool = MakeTool(dir, "my tool;$x", dir.file("ran"));
    PosixSystemInfoTool launcher;
    launcher.start(tool);
    for (int i = 0; i < 200 && !Exists(dir.file("ran")); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(ReadBytes(dir.file("ran")), tool + "\n");

    const std::string plain = MakeTool(dir, "plain", dir.file("plain ran"), 0644);
    for (const std::string& path : {std::string(), dir.file("missing"), plain})
        EXPECT_THROW(launcher.start(path), std::system_error) << path;
    EXPECT_FALSE(Exists(dir.file("plain ran")));
}

}  // namespace
}  // namespace kesrow::testing
