// A share that does not answer: the user-interface thread goes on, ticks
// are asked for meanwhile, and once nothing has answered for the limit the icon says so,
// keeping the prohibition sign of a held line.
#ifndef _WIN32
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <chrono>
#include <atomic>
#include <future>
#include <thread>
#include <utility>

#include "core/main_form.h"
#include "core/share_worker.h"
#include "fake_platform.h"

namespace kesrow::testing {
namespace {

TEST(SilentShare, TheIconTurnsToUnknownAndTheFirstReadingAfterwardsIsAChange)
{
    TempDir cwd, server;
    WriteBytes(cwd.file("pas.txt"), server.prefix() + "\r\n");
    WriteBytes(server.file("kesrow.txt"), "PC02\r\n");
    FakePlatform fake;
    fake.cwd = cwd.path().string();
    constexpr std::chrono::milliseconds limit{1500};
    MainForm form(fake.platform, {.silentLimit = limit});
    const auto tick = [&] {
        form.TickNow();
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
    form.TickNow();
    entered.get_future().wait();
    const auto shown = [&] { return fake.trace != "probe"; };
    while (!shown() && std::chrono::steady_clock::now() - start < 3 * limit) {
        form.TickNow();  // all one tick, after the held one
        fake.runUntil(shown, std::chrono::milliseconds(100));
    }
    EXPECT_GE(std::chrono::steady_clock::now() - start, limit);
    EXPECT_EQ(fake.trace, "probe show2:PC02~");

    answer.set_value();
    ASSERT_TRUE(fake.runUntil([&] { return form.Settled(); }));
    // The held tick ends as it would have; the first reading afterwards is a change.
    EXPECT_EQ(fake.trace, "probe show2:PC02~ host probe host probe show2:PC02");
}

// A job past its time limit is told to done once, as a timeout. Paced
// ticks keep their interval, and short jobs are never told silent: neither
// a run of them longer than the limit nor one after a long pause.
TEST(ShareWorker, PacedTicksKeepTheirIntervalAndShortJobsAreNeverSilent)
{
    using namespace std::chrono_literals;
    FakePlatform fake;
    std::atomic<int> ticks{0}, silences{0}, jobs{0};
    const auto start = std::chrono::steady_clock::now();
    {
        ShareWorker worker(fake, 200ms, [&] { ++silences; }, [&] { ++ticks; });
        worker.pace(20ms);
        std::exception_ptr late;
        worker.runWithin(50ms, [] { std::this_thread::sleep_for(150ms); }, [&](std::exception_ptr f) { late = f, ++jobs; });
        fake.runUntil([&] { return jobs == 1; });
        EXPECT_THROW(std::rethrow_exception(late), ShareTimeout);
        for (int round = 1; round <= 2; ++round) {
            for (int i = 0; i < 8; ++i) worker.run([] { std::this_thread::sleep_for(50ms); }, [&](std::exception_ptr) { ++jobs; });
            fake.runUntil([&] { return jobs == 1 + 8 * round; });
            fake.runUntil([&] { return false; }, 250ms);
        }
    }
    const auto paces = (std::chrono::steady_clock::now() - start) / 20ms;
    EXPECT_EQ(jobs, 17);
    EXPECT_EQ(silences, 0);
    EXPECT_GE(ticks, 1);
    EXPECT_LE(ticks, paces + 2) << "ticks ran back to back";
}

#ifndef _WIN32
// A notice that comes while a job runs is taken in before the tick asked
// for by the job, which follows it at once.
TEST(ShareWorker, ANoticeIsTakenInBeforeTheNextTickAsks)
{
    struct PipeNotices : Notices {
        int ends[2] = {-1, -1};
        std::atomic<int> taken{0};
        int noticeHandle() override { return ends[0]; }
        void takeNotices() override
        {
            char byte;
            if (read(ends[0], &byte, 1) == 1) ++taken;
        }
    } source;
    ASSERT_EQ(pipe(source.ends), 0);
    FakePlatform fake;
    std::atomic<int> takenAtTick{-1};
    bool done = false;
    {
        ShareWorker worker(fake, std::chrono::seconds(10), [] {}, [&] { takenAtTick = source.taken.load(); }, {&source});
        worker.run([&] { (void)!write(source.ends[1], "x", 1), worker.tickNow(); }, [&](std::exception_ptr) { done = true; });
        ASSERT_TRUE(fake.runUntil([&] { return done && worker.idle(); }));
    }
    EXPECT_EQ(takenAtTick, 1);
    close(source.ends[0]), close(source.ends[1]);
}
#endif

}  // namespace
}  // namespace kesrow::testing
