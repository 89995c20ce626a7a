// A main form on the fake platform, with a real current directory and a
// real server folder in temporary folders.
#pragma once

#include <gtest/gtest.h>

#include "core/codepage.h"
#include "core/main_form.h"
#include "core/text_file.h"
#include "core/texts.h"
#include "fake_platform.h"
#include "test_files.h"

namespace kesrow::testing {

using Calls = std::vector<std::string>;

inline const std::string kFree = std::string("tray.add 1 ") + kLineFreeTooltip;
inline std::string Held(const std::string& holder) { return "tray.add 2 " + LineHeldTooltip(holder); }
inline std::string Box(int style, const std::string& title, const std::string& prompt)
{
    return "msgbox " + std::to_string(style) + " " + title + " | " + prompt;
}

// Log lines as the fake clock (1998/09/03 10:15:00) makes them, in cp932 with CR LF.
inline std::string ConnectBytes(const std::string& host) { return ToCp932(host + "が、 1998/09/03 10:15:00 接続\r\n"); }
inline std::string DisconnectBytes(const std::string& host) { return ToCp932(host + "が、 1998/09/03 10:15:00 切断\r\n"); }
inline std::string ViolationBytes(const std::string& host)
{
    return ToCp932("※※※※ " + host + "の接続違反が 1998/09/03 10:15:00 にありました\r\n");
}

class FormTest : public ::testing::Test {
protected:
    FormTest() { fake.cwd = cwd.path().string(); }

    void GivenServerPathFile(const std::string& bytes) { WriteBytes(cwd.file("pas.txt"), bytes); }
    void GivenStatus(const std::string& bytes) { WriteBytes(server.file("kesrow.txt"), bytes); }
    std::string Status() const { return ReadBytes(server.file("kesrow.txt")); }
    std::string Log() const { return ReadBytes(server.file("kesrow.log")); }
    bool LogExists() const { return Exists(server.file("kesrow.log")); }

    // A copy that started normally against the server folder, with no call recorded yet.
    void Started(const std::string& status = "OK\r\n")
    {
        GivenServerPathFile(server.prefix() + "\r\n");
        GivenStatus(status);
        form.Form_Load();
        ASSERT_EQ(fake.calls.back(), "timer on");
        fake.calls.clear();
    }

    // Runs what the share worker hands back until the form is settled.
    void Settle() { ASSERT_TRUE(fake.runUntil([&] { return form.Settled(); })); }

    // Runs one tick to its end and returns the calls it made.
    Calls Tick()
    {
        fake.calls.clear();
        form.Timer1_Timer();
        Settle();
        return fake.calls;
    }

    TempDir cwd;
    TempDir server;
    FakePlatform fake;
    MainForm form{fake.platform};
};

}  // namespace kesrow::testing
