// Start-up, the recovery prompts and the unload path.
#include <unistd.h>

#include <stdexcept>

#include "form_fixture.h"

namespace kesrow::testing {
namespace {

const std::string kQuestion = Box(1, "ケスロウ",
    "現在このコンピュータは、ネットワーク環境ではありません。\rサーバパスの変更を行う時はＯＫを押して下さい");
const std::string kRejected = Box(0, "ケスロウ", "サーバパスの最後は￥でくくって下さい");
const std::string kChanged = Box(0, "ケスロウ", "サーバパスの変更後はプログラムを終了します");
std::string Input(const std::string& def)
{
    return "input ケスロウ [" + def + "] | サーバパスを入力して下さい\r最後は￥でくくること";
}
const Calls kEndQuietly = {"tray.remove", "formUnloaded", "end"};
// The release check cannot open the status file; the process ends all the same.
const Calls kEndAfterFailedCheck = {"tray.remove", "end"};

Calls Then(Calls a, const Calls& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

using StartUp = FormTest;

TEST_F(StartUp, NormalStartShowsOneIconAndEnablesTheTimerLast)
{
    // Only the first field of the server path file counts.
    GivenServerPathFile(server.prefix() + ",ignored\r\nsecond line\r\n");
    GivenStatus("PC02\r\n");
    form.Form_Load();
    EXPECT_EQ(fake.calls, (Calls{"previousInstance", "curdir", 
                                 kFree, "timer on"}));
    EXPECT_EQ(form.ServerPath(), server.prefix());
    EXPECT_EQ(form.CurrentHolder(), "");
}

TEST_F(StartUp, OnlyOpensTheStatusFileWithoutReadingIt)
{
    // A folder opens for reading but cannot be read: start-up must not try.
    GivenServerPathFile(server.prefix() + "\r\n");
    std::filesystem::create_directory(server.file("kesrow.txt"));
    form.Form_Load();
    EXPECT_EQ(fake.calls.back(), "timer on");
}

TEST_F(StartUp, SecondCopyShowsLoadErrorAndEndsWithoutTouchingAnyStatusFile)
{
    // The second copy has no server path; a status file in the process's own
    // working directory must not be taken for ours.
    TempDir here;
    WriteBytes(here.file("kesrow.txt"), "PC01\r\n");
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(here.path());
    fake.otherCopyRunning = true;
    form.Form_Load();
    std::filesystem::current_path(old);

    EXPECT_EQ(fake.calls, Then({"previousInstance",
                                Box(48, "ロードエラー", "このアプリケーションはすでに開かれています。")},
                               kEndQuietly));
    EXPECT_EQ(ReadBytes(here.file("kesrow.txt")), "PC01\r\n");
    EXPECT_FALSE(Exists(here.file("kesrow.log")));
}

// Every start-up failure leads to the recovery question; Cancel ends with nothing written.
class StartUpFailure : public FormTest {
protected:
    void ExpectRecoveryThenCancel(const Calls& before, const Calls& end)
    {
        fake.messageAnswers = {Answer::Cancel};
        const std::string pasBefore = Exists(cwd.file("pas.txt")) ? ReadBytes(cwd.file("pas.txt")) : "-";
        form.Form_Load();
        EXPECT_EQ(fake.calls, Then(Then(before, {kQuestion}), end));
        EXPECT_EQ(Exists(cwd.file("pas.txt")) ? ReadBytes(cwd.file("pas.txt")) : "-", pasBefore);
    }
};

TEST_F(StartUpFailure, NoServerPathFile)
{
    ExpectRecoveryThenCancel({"previousInstance", "curdir"}, kEndQuietly);
}

TEST_F(StartUpFailure, EmptyServerPathFile)
{
    GivenServerPathFile("");
    ExpectRecoveryThenCancel({"previousInstance", "curdir"}, kEndQuietly);
}

TEST_F(StartUpFailure, FolderWithoutStatusFile)
{
    GivenServerPathFile(server.prefix() + "\r\n");
    ExpectRecoveryThenCancel({"previousInstance", "curdir"}, kEndAfterFailedCheck);
}

TEST_F(StartUpFailure, PathWithoutFinalSeparatorNamesAFileBesideTheFolder)
{
    GivenStatus("OK\r\n");
    GivenServerPathFile(server.path().string() + "\r\n");
    ExpectRecoveryThenCancel({"previousInstance", "curdir"}, kEndAfterFailedCheck);
}

TEST_F(StartUpFailure, TrayIconThatCannotBeAdded)
{
    GivenServerPathFile(server.prefix() + "\r\n");
    GivenStatus("OK\r\n");
    fake.onCall = [](const std::string& c) {
        if (c.rfind("tray.add", 0) == 0) throw std::runtime_error("no notification area");
    };
    ExpectRecoveryThenCancel({"previousInstance", "curdir", 
                              kFree},
                             {"tray.remove", "host", "formUnloaded", "end"});
}

TEST_F(StartUpFailure, TimerThatCannotStartLeavesTheIconToTheUnloadPath)
{
    GivenServerPathFile(server.prefix() + "\r\n");
    GivenStatus("PC01\r\n");
    fake.onCall = [](const std::string& c) {
        if (c == "timer on") throw std::runtime_error("no timer");
    };
    fake.messageAnswers = {Answer::Cancel};
    form.Form_Load();
    // The unload path runs against the server path start-up read and
    // releases the line this computer held.
    EXPECT_EQ(Status(), "OK\r\n");
    EXPECT_EQ(Log(), DisconnectBytes("PC01"));
    EXPECT_EQ(fake.calls.back(), "end");
}

class Recovery : public FormTest {
protected:
    void SetUp() override { GivenServerPathFile(server.prefix() + "\r\n"); }  // no status file
};

TEST_F(Recovery, RejectedAnswerComesBackAsTheNextDefaultUntilItEndsWithTheSeparator)
{
    fake.inputAnswers = {"/srv/share", "/srv/share/"};
    form.Form_Load();
    EXPECT_EQ(fake.calls, Then({"previousInstance", "curdir", kQuestion, "curdir", Input(server.prefix()),
                                kRejected, Input("/srv/share"), kChanged},
                               kEndAfterFailedCheck));
    EXPECT_EQ(ReadBytes(cwd.file("pas.txt")), "/srv/share/\r\n");
}

TEST_F(Recovery, TheSeparatorAloneIsAccepted)
{
    fake.inputAnswers = {"/"};
    form.Form_Load();
    EXPECT_EQ(ReadBytes(cwd.file("pas.txt")), "/\r\n");
    EXPECT_EQ(fake.callsStartingWith("msgbox").back(), kChanged);
}

TEST_F(Recovery, AnEmptyAnswerEndsAndKeepsTheOldFile)
{
    GivenServerPathFile("/old/path/\r\nkept\r\n");
    fake.inputAnswers = {""};
    form.Form_Load();
    EXPECT_EQ(fake.calls, Then({"previousInstance", "curdir", kQuestion, "curdir", Input("/old/path/")},
                               kEndAfterFailedCheck));
    EXPECT_EQ(ReadBytes(cwd.file("pas.txt")), "/old/path/\r\nkept\r\n");
}

TEST_F(Recovery, AMissingOrEmptyServerPathFileOffersAnEmptyDefaultAndStoresTheAnswer)
{
    for (bool empty : {false, true}) {
        FakePlatform fresh;
        fresh.cwd = fake.cwd;
        fresh.inputAnswers = {"/mnt/line/"};
        if (empty) GivenServerPathFile(""); else std::filesystem::remove(cwd.file("pas.txt"));
        MainForm(fresh.platform).Form_Load();
        EXPECT_EQ(fresh.calls, Then({"previousInstance", "curdir", kQuestion, "curdir", Input(""), kChanged},
                                    kEndQuietly));
        EXPECT_EQ(ReadBytes(cwd.file("pas.txt")), "/mnt/line/\r\n");
    }
}

TEST_F(Recovery, AServerPathThatCannotBeStoredIsReportedAndTheProgramEnds)
{
    fake.cwd = cwd.file("gone");  // the working directory has disappeared
    fake.inputAnswers = {"/mnt/line/"};
    form.Form_Load();
    const auto boxes = fake.callsStartingWith("msgbox");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].rfind("msgbox 48 ケスロウ | " + cwd.file("gone/pas.txt"), 0), 0u) << boxes[1];
    EXPECT_EQ(fake.calls.back(), "end");
}

class UnloadPath : public FormTest {};

TEST_F(UnloadPath, ReleasesTheLineWhenTheStatusNamesThisComputer)
{
    Started("PC01\r\n");
    form.f_end_Click();
    Settle();
    EXPECT_EQ(fake.calls, (Calls{"tray.remove", "host", "host", "now", "formUnloaded", "end"}));
    EXPECT_EQ(Status(), "OK\r\n");
    EXPECT_EQ(Log(), DisconnectBytes("PC01"));
}

TEST_F(UnloadPath, WritesNothingForAnotherHolderOrAFreeLine)
{
    for (const char* status : {"PC02\r\n", "OK\r\n", "pc01\r\n"}) {
        FakePlatform fresh;
        fresh.cwd = fake.cwd;
        MainForm other(fresh.platform);
        GivenServerPathFile(server.prefix() + "\r\n");
        GivenStatus(status);
        other.Form_Load();
        fresh.calls.clear();
        other.f_end_Click();
        ASSERT_TRUE(fresh.runUntil([&] { return other.Settled(); }));
        EXPECT_EQ(fresh.calls, (Calls{"tray.remove", "host", "formUnloaded", "end"})) << status;
        EXPECT_EQ(Status(), status);
        EXPECT_FALSE(LogExists());
    }
}

TEST_F(UnloadPath, AnEmptyStatusFileIsNotReadAndAsksNoHostName)
{
    Started("");
    form.MenuEnd_Click();
    Settle();
    EXPECT_EQ(fake.calls, (Calls{"tray.remove", "formUnloaded"}));
    EXPECT_EQ(Status(), "");
}

TEST_F(UnloadPath, RunsOnlyOnce)
{
    Started("PC01\r\n");
    form.Unload();
    form.Unload();
    form.Timer1_Timer();
    Settle();
    EXPECT_EQ(Log(), DisconnectBytes("PC01"));
    EXPECT_EQ(fake.callsStartingWith("tray.remove").size(), 1u);
}

TEST_F(UnloadPath, AnUnreachableStatusFileIsShownAndEndsWithTheIconGone)
{
    Started("PC01\r\n");
    std::filesystem::remove(server.file("kesrow.txt"));
    form.RunEvent([&] { form.f_end_Click(); });
    Settle();
    ASSERT_EQ(fake.calls.size(), 3u);
    EXPECT_EQ(fake.calls[0], "tray.remove");
    EXPECT_EQ(fake.calls[1].rfind("msgbox 48 ケスロウ | " + server.file("kesrow.txt") + ": No such file", 0),
              0u) << fake.calls[1];
    EXPECT_EQ(fake.calls[2], "end");
}

}  // namespace
}  // namespace kesrow::testing
