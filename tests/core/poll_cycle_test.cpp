// The tick's decision table, with the exact order and number of questions.
#include "form_fixture.h"

namespace kesrow::testing {
namespace {

const std::string kWarning = "warning ケスロウ | " // the box that waits for the user
    +std::string(
    "タスクバー内のアイコンに禁止マークがある時は電話接続をしてはいけません!!\r直ちに切断して下さい");
const Calls kNoAction = {"probe", "host", "probe", "host", "probe"};

class PollCycle : public FormTest {
protected:
    // Started, and the first tick has seen the status.
    void Seen(const std::string& status)
    {
        Started(status);
        Tick();
    }
};

TEST_F(PollCycle, FirstTickCountsOkAsAChangeAndAsksNothing)
{
    Started("OK\r\n");
    fake.dialUpCount = 1;
    EXPECT_EQ(Tick(), (Calls{"tray.remove", kFree}));
    EXPECT_EQ(form.CurrentHolder(), "OK");
    EXPECT_EQ(Status(), "OK\r\n");
}

TEST_F(PollCycle, ChangeToAHolderShowsTheProhibitionImageWithItsName)
{
    Seen("OK\r\n");
    GivenStatus("PC02\r\n");
    EXPECT_EQ(Tick(), (Calls{"tray.remove", Held("PC02")}));
    EXPECT_EQ(form.CurrentHolder(), "PC02");
    EXPECT_EQ(Tick(), kNoAction);  // unchanged: the icon is left alone
}

TEST_F(PollCycle, AnyTextButOkIsAHolderName)
{
    Seen("OK\r\n");
    GivenStatus("ok\r\n");
    EXPECT_EQ(Tick(), (Calls{"tray.remove", Held("ok")}));
    GivenStatus("\r\n");
    EXPECT_EQ(Tick(), (Calls{"tray.remove", Held("")}));
    EXPECT_EQ(form.CurrentHolder(), "");
}

TEST_F(PollCycle, AZeroLengthStatusFileEndsTheTickWithNothingDone)
{
    Seen("PC02\r\n");
    GivenStatus("");
    fake.dialUpCount = 1;
    EXPECT_EQ(Tick(), Calls{});
    EXPECT_EQ(form.CurrentHolder(), "PC02");
}

TEST_F(PollCycle, ClaimOnAFreeLineAsksTheProbeOnceAndTheHostTwiceInsideTheClaim)
{
    Seen("OK\r\n");
    WriteBytes(server.file("kesrow.log"), "earlier line\r\n");
    fake.dialUpCount = 1;
    EXPECT_EQ(Tick(), (Calls{"probe", "host", "host", "now"}));
    EXPECT_EQ(Status(), "PC01\r\n");
    EXPECT_EQ(Log(), "earlier line\r\n" + ConnectBytes("PC01"));
    EXPECT_EQ(form.CurrentHolder(), "OK");
    // The next tick sees the claim as a change, naming this computer.
    EXPECT_EQ(Tick(), (Calls{"tray.remove", Held("PC01")}));
}

TEST_F(PollCycle, ReleaseWhenThisComputerHoldsAndHasHungUp)
{
    Seen("PC01\r\n");
    EXPECT_EQ(Tick(), (Calls{"probe", "host", "probe", "host", "now"}));
    EXPECT_EQ(Status(), "OK\r\n");
    EXPECT_EQ(Log(), DisconnectBytes("PC01"));
    EXPECT_EQ(Tick(), (Calls{"tray.remove", kFree}));
}

TEST_F(PollCycle, NoActionAsksAllThreeProbesAndWritesNothing)
{
    // This computer holds and is still dialled up; a free line without dial-up;
    // another holds and this computer is not dialled up.
    const std::pair<const char*, int> cases[] = {{"PC01\r\n", 1}, {"OK\r\n", 0}, {"PC02\r\n", 0}};
    for (const auto& [status, dialUps] : cases) {
        Seen(status);
        fake.dialUpCount = dialUps;
        EXPECT_EQ(Tick(), kNoAction) << status;
        EXPECT_EQ(Status(), status);
        EXPECT_FALSE(LogExists());
    }
}

TEST_F(PollCycle, ViolationBeepsWarnsLogsAfterTheBoxAndBeepsAgainOnEveryTick)
{
    Seen("PC02\r\n");
    fake.dialUpCount = 1;
    const Calls violation = {"probe", "host", "probe", "host", "probe", "beep", kWarning, "host", "now", "beep"};
    EXPECT_EQ(Tick(), violation);
    EXPECT_EQ(Tick(), violation);
    EXPECT_EQ(Log(), ViolationBytes("PC01") + ViolationBytes("PC01"));
    EXPECT_EQ(Status(), "PC02\r\n");
}

TEST_F(PollCycle, TheViolationLineNamesThisComputerAtTheTimeTheBoxWasClosed)
{
    Seen("PC02\r\n");
    fake.dialUpCount = 1;
    fake.onCall = [&](const std::string& c) {
        if (c == kWarning) fake.time = {1998, 9, 3, 10, 20, 7};
    };
    Tick();
    EXPECT_EQ(Log(), ToCp932("※※※※ PC01の接続違反が 1998/09/03 10:20:07 にありました\r\n"));
}

TEST_F(PollCycle, EachProbeIsAskedAfreshWithinOneTick)
{
    // Dialled up at the first probe, gone at the second: released.
    Seen("PC01\r\n");
    fake.dialUpCounts = {1, 0};
    EXPECT_EQ(Tick(), (Calls{"probe", "host", "probe", "host", "now"}));
    EXPECT_EQ(Status(), "OK\r\n");

    // Another holder, dialled up until the third probe: no violation.
    GivenStatus("PC02\r\n");
    Tick();
    fake.dialUpCounts = {1, 1, 0};
    EXPECT_EQ(Tick(), kNoAction);

    // A free line that comes up only after the first probe is no claim, and
    // by the third probe it counts as a violation.
    GivenStatus("OK\r\n");
    Tick();
    fake.dialUpCounts = {0, 1, 1};
    EXPECT_EQ(Tick()[5], "beep");
    EXPECT_EQ(Status(), "OK\r\n");
}

TEST_F(PollCycle, AnEmptyHolderOnTheFirstTickKeepsTheStartUpIconButTheRulesApply)
{
    Started("\r\n");
    fake.dialUpCount = 1;
    const Calls first = Tick();
    EXPECT_EQ(first.front(), "probe");
    EXPECT_EQ(fake.callsStartingWith("tray").size(), 0u);
    EXPECT_EQ(Log(), ViolationBytes("PC01"));
}

TEST_F(PollCycle, ComparisonsAreCaseSensitive)
{
    Seen("pc01\r\n");
    EXPECT_EQ(Tick(), kNoAction);  // not this computer's claim: no release
    EXPECT_EQ(Status(), "pc01\r\n");
}

TEST_F(PollCycle, TicksDoNotNestWhileTheWarningIsOpen)
{
    Seen("PC02\r\n");
    fake.dialUpCount = 1;
    int nested = 0;
    fake.onCall = [&](const std::string& c) {
        if (c == kWarning && nested++ < 5) form.Timer1_Timer();  // ticks falling due meanwhile
    };
    Tick();
    EXPECT_EQ(fake.callsStartingWith("warning").size(), 1u);
    EXPECT_EQ(fake.callsStartingWith("probe").size(), 3u);
    EXPECT_EQ(Log(), ViolationBytes("PC01"));
    EXPECT_EQ(Tick().size(), 10u);  // and they run again afterwards
}

class FailingTicks : public PollCycle {
protected:
    std::string FailureBox(const std::string& file)
    {
        return "msgbox 48 ケスロウ | 共有フォルダのファイルを読み書きできません。\r"
               "接続が戻ると自動的に監視を再開します。\r\r" + file;
    }
};

TEST_F(FailingTicks, AnUnreadableStatusFileShowsTheUnknownIconAndIsReportedOnceUntilReadAgain)
{
    const Calls unknown = {"tray.remove", "tray.add 3 共有フォルダに接続できません（回線の状態は不明です）"};
    Seen("PC02\r\n");
    fake.dialUpCount = 1;
    // The first reading afterwards is a change, whatever it reads.
    for (const char* back : {"PC02\r\n", "OK\r\n"}) {
        std::filesystem::remove(server.file("kesrow.txt"));
        EXPECT_EQ(Tick(), (Calls{unknown[0], unknown[1],
                                 FailureBox(server.file("kesrow.txt") + ": No such file or directory")}));
        EXPECT_EQ(Tick(), Calls{});
        GivenStatus(back);
        EXPECT_EQ(Tick(), (Calls{"tray.remove", std::string(back) == "OK\r\n" ? kFree : Held("PC02")}));
    }
    EXPECT_EQ(form.CurrentHolder(), "OK");
    EXPECT_EQ(fake.callsStartingWith("end").size(), 0u);
}

TEST_F(FailingTicks, AFailedViolationLineChangesNothingAndTheCopyKeepsRunning)
{
    Seen("PC02\r\n");
    fake.dialUpCount = 1;
    std::filesystem::create_directory(server.file("kesrow.log"));
    const Calls calls = Tick();
    EXPECT_EQ(calls.back().rfind(FailureBox(server.file("kesrow.log")), 0), 0u) << calls.back();
    EXPECT_EQ(form.CurrentHolder(), "PC02");
    EXPECT_EQ(fake.callsStartingWith("end").size(), 0u);
}

TEST_F(FailingTicks, AFailingHostNameOrProbeIsReportedOnce)
{
    Seen("OK\r\n");
    fake.onCall = [](const std::string& c) {
        if (c == "host") throw std::runtime_error("host name lookup failed");
    };
    EXPECT_EQ(Tick(), (Calls{"probe", "host", FailureBox("host name lookup failed")}));
    EXPECT_EQ(Tick(), (Calls{"probe", "host"}));
}

}  // namespace
}  // namespace kesrow::testing
