#include "ui/server_path_dialog.h"

#include <gtest/gtest.h>

#include "core/server_path.h"
#include "running_copy.h"

namespace kesrow::testing {
namespace {

using Calls = std::vector<std::string>;

const std::string kPrompt = "サーバパスを入力して下さい\r最後は￥でくくること";

std::string Input(const std::string& defaultText) { return "input ケスロウ [" + defaultText + "] | " + kPrompt; }

TEST(ServerPathDialog, CancelAtTheFirstPromptOrAfterARejectedAnswerChangesNothing)
{
    RunningCopy copy;
    const std::string before = ReadBytes(copy.cwd.file("pas.txt"));
    copy.menu.M_SAV_Click();
    EXPECT_EQ(copy.fake.calls, (Calls{"curdir", Input(copy.server.prefix())}));
    copy.fake.inputAnswers = {"/srv/share", ""};
    copy.menu.M_SAV_Click();
    EXPECT_EQ(copy.fake.callsStartingWith("end"), Calls{});
    EXPECT_EQ(copy.fake.callsStartingWith("tray.remove"), Calls{});
    EXPECT_EQ(ReadBytes(copy.cwd.file("pas.txt")), before);
}

TEST(ServerPathDialog, ARejectedAnswerIsTheNextDefault)
{
    RunningCopy copy;
    TempDir other;
    const std::string unfinished = other.path().string();
    copy.fake.inputAnswers = {unfinished, other.prefix()};
    copy.menu.M_SAV_Click();
    ASSERT_GE(copy.fake.calls.size(), 6u);
    EXPECT_EQ(Calls(copy.fake.calls.begin(), copy.fake.calls.begin() + 6),
              (Calls{"curdir", Input(copy.server.prefix()), "msgbox 0 ケスロウ | サーバパスの最後は￥でくくって下さい",
                     Input(unfinished), "curdir", "msgbox 0 ケスロウ | サーバパスの変更後はプログラムを終了します"}));
    EXPECT_EQ(ReadBytes(copy.cwd.file("pas.txt")), other.prefix() + "\r\n");
}

TEST(ServerPathDialog, TheDefaultIsTheStoredTextUpToAComma)
{
    RunningCopy copy;
    WriteBytes(copy.cwd.file("pas.txt"), "/mnt/a,b/\r\nmore\r\n");
    copy.fake.inputAnswers = {"/mnt/c,d/"};
    copy.menu.M_SAV_Click();
    EXPECT_EQ(copy.fake.calls[1], Input("/mnt/a"));
    EXPECT_EQ(ReadBytes(copy.cwd.file("pas.txt")), "/mnt/c,d/\r\n");
}

TEST(ServerPathDialog, AcceptedPathIsWrittenThenTheOldFolderIsReleasedAndTheProgramEnds)
{
    RunningCopy copy("PC01\r\n");
    TempDir next;
    WriteBytes(next.file("kesrow.txt"), "PC01\r\n");
    WriteBytes(copy.cwd.file("pas.txt"), copy.server.prefix() + "\r\nleft over\r\n");
    copy.fake.inputAnswers = {next.prefix()};
    copy.menu.M_SAV_Click();
    copy.settle();

    EXPECT_EQ(ReadBytes(copy.cwd.file("pas.txt")), next.prefix() + "\r\n");
    EXPECT_EQ(ReadBytes(copy.server.file("kesrow.txt")), "OK\r\n");
    EXPECT_EQ(ReadBytes(copy.server.file("kesrow.log")),
              "PC01\x82\xAA\x81\x41 1998/09/03 10:15:00 \x90\xD8\x92\x66\r\n");
    EXPECT_EQ(ReadBytes(next.file("kesrow.txt")), "PC01\r\n");
    EXPECT_FALSE(Exists(next.file("kesrow.log")));

    const Calls& calls = copy.fake.calls;
    auto at = [&](const std::string& c) { return std::find(calls.begin(), calls.end(), c) - calls.begin(); };
    EXPECT_LT(at("msgbox 0 ケスロウ | サーバパスの変更後はプログラムを終了します"), at("tray.remove"));
    EXPECT_LT(at("tray.remove"), at("formUnloaded"));
    EXPECT_EQ(Calls(calls.end() - 2, calls.end()), (Calls{"formUnloaded", "end"}));
}

TEST(ServerPathDialog, AcceptedPathLeavesALineHeldByAnotherComputerAlone)
{
    RunningCopy copy("PC02\r\n");
    copy.fake.inputAnswers = {"/srv/new/"};
    copy.menu.M_SAV_Click();
    copy.settle();
    EXPECT_EQ(ReadBytes(copy.server.file("kesrow.txt")), "PC02\r\n");
    EXPECT_FALSE(Exists(copy.server.file("kesrow.log")));
    EXPECT_EQ(copy.fake.calls.back(), "end");
}

TEST(ServerPathDialog, AnUnreadableServerPathFileIsAnUncaughtFailure)
{
    RunningCopy copy;
    std::filesystem::remove(copy.cwd.file("pas.txt"));
    std::filesystem::create_directory(copy.cwd.file("pas.txt"));
    copy.form.RunEvent([&] { copy.menu.M_SAV_Click(); });
    EXPECT_EQ(copy.fake.callsStartingWith("input"), Calls{});
    ASSERT_EQ(copy.fake.callsStartingWith("msgbox 48 ケスロウ | ").size(), 1u);
    EXPECT_EQ(copy.fake.calls.back(), "end");
}

}  // namespace
}  // namespace kesrow::testing
