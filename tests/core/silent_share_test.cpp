// A share that does not answer: the user-interface thread goes on, ticks
// are skipped, and once nothing has answered for the limit the icon says so,
// keeping the prohibition sign of a held line.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <utility>

#include "core/main_form.h"
#include "fake_platform.h"

namespace kesrow::testing {
namespace {

TEST(SilentShare, TicksAreSkippedTheIconTurnsToUnknownAndTheFirstReadingAfterwardsIsAChange)
{
    TempDir cwd, server;
    WriteBytes(cwd.file("pas.txt"), server.prefix() + "\r\n");
    WriteBytes(server.file("kesrow.txt"), "PC02\r\n");
    FakePlatform fake;
    fake.cwd = cwd.path().string();
    constexpr std::chrono::milliseconds limit{1500};
    MainForm form(fake.platform, {.silentLimit = limit});
    const auto tick = [&] {
        form.Timer1_Timer();
        ASSERT_TRUE(fake.runUntil([&] { return form.Settled(); }));
    };
    form.Form_Load();
    ASSERT_TRUE(fake.runUntil([&] { return form.Settled(); }));
    tick();
    // The worker stops inside the next tick's first probe until answered.
    std::promise<void> entered, answer;
    bool held = false;
    fake.onCall = [&](const std::string& c) {
        if (c != "probe" || std::exchange(held, true)) return;
        entered.set_value();
        answer.get_future().wait();
    };
    fake.trace.clear();
    // Counted from before the tick is asked for: the worker counts its silence from the job's start.
    const auto start = std::chrono::steady_clock::now();
    form.Timer1_Timer();
    entered.get_future().wait();
    const auto shown = [&] { return fake.trace != "probe"; };
    while (!shown() && std::chrono::steady_clock::now() - start < 3 * limit) {
        form.Timer1_Timer();  // skipped
        fake.runUntil(shown, std::chrono::milliseconds(100));
    }
    EXPECT_GE(std::chrono::steady_clock::now() - start, limit);
    EXPECT_EQ(fake.trace, "probe rm add2:PC02~");

    answer.set_value();
    ASSERT_TRUE(fake.runUntil([&] { return form.Settled(); }));
    EXPECT_EQ(fake.trace, "probe rm add2:PC02~ host probe host probe");  // the held tick ends as it would have
    fake.trace.clear();
    tick();
    EXPECT_EQ(fake.trace, "rm add2:PC02");
}

}  // namespace
}  // namespace kesrow::testing
