// A copy that has started against a real server folder in a temp folder,
// with the fake platform, the fake forms and a fake system information tool.
#pragma once

#include <gtest/gtest.h>

#include "core/main_form.h"
#include "fake_platform.h"
#include "fake_ui.h"
#include "test_files.h"
#include "ui/tray_menu.h"

namespace kesrow::testing {

struct RunningCopy {
    TempDir cwd;
    TempDir server;
    FakePlatform fake;
    FakeForms forms{fake.calls};
    FakeSysInfo sysInfo{fake.calls};
    UiServices ui{forms, sysInfo};
    MainForm form{fake.platform};
    TrayMenu menu{form, ui};

    explicit RunningCopy(const std::string& status = "OK\r\n")
    {
        WriteBytes(cwd.file("pas.txt"), server.prefix() + "\r\n");
        WriteBytes(server.file("kesrow.txt"), status);
        fake.cwd = cwd.path().string();
        form.Form_Load();
        EXPECT_EQ(fake.calls.back(), "timer on") << "start-up did not finish";
        fake.calls.clear();
    }

    // Runs what the share worker hands back until the copy is settled.
    void settle() { ASSERT_TRUE(fake.runUntil([&] { return form.Settled(); })); }
};

}  // namespace kesrow::testing
