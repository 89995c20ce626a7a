// A share that does not answer: the user-interface thread goes on, ticks
// are skipped, and the icon says that the line's state is unknown.
#include <chrono>
#include <future>

#include "form_fixture.h"

namespace kesrow::testing {
namespace {

class SilentShare : public FormTest {
protected:
    // The worker stops inside the tick's first probe until answer is set.
    void HoldTheWorkerInTheProbe()
    {
        fake.onCall = [this](const std::string& c) {
            if (c != "probe" || held_) return;
            held_ = true;
            entered_.set_value();
            answer_.get_future().wait();
        };
    }
    void WaitUntilHeld() { entered_.get_future().wait(); }
    void Answer() { answer_.set_value(); }

private:
    bool held_ = false;
    std::promise<void> entered_, answer_;
};

TEST_F(SilentShare, TicksAreSkippedTheIconTurnsToUnknownAndTheFirstReadingAfterwardsIsAChange)
{
    const std::string unknown = "tray.add 3 共有フォルダに接続できません（回線の状態は不明です）";
    Started("PC02\r\n");
    Tick();
    HoldTheWorkerInTheProbe();
    fake.calls.clear();
    form.Timer1_Timer();
    WaitUntilHeld();
    const auto shown = [&] { return fake.calls.size() == 3; };
    // Ticks falling due meanwhile are skipped; after kSilentLimit the icon says so.
    const auto start = std::chrono::steady_clock::now();
    while (!shown() && std::chrono::steady_clock::now() - start < 3 * kSilentLimit) {
        form.Timer1_Timer();
        fake.runUntil(shown, std::chrono::milliseconds(100));
    }
    EXPECT_GE(std::chrono::steady_clock::now() - start, kSilentLimit);
    EXPECT_EQ(fake.calls, (Calls{"probe", "tray.remove", unknown}));

    Answer();
    Settle();
    // The held tick ends as it would have: no action.
    EXPECT_EQ(Calls(fake.calls.begin() + 3, fake.calls.end()), (Calls{"host", "probe", "host", "probe"}));
    EXPECT_EQ(Tick(), (Calls{"tray.remove", Held("PC02")}));
    EXPECT_EQ(Tick(), (Calls{"probe", "host", "probe", "host", "probe"}));
}

}  // namespace
}  // namespace kesrow::testing
