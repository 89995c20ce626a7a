// What an unfriendly shared folder can hold, on real files: the status
// rewrite, the log append, the viewer's bound, and the unload path of a copy
// whose pas.txt is empty (the console copy's own cases: hardening_test.sh).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/shared_files.h"
#include "core/codepage.h"
#include "core/main_form.h"
#include "core/text_file.h"
#include "core/texts.h"
#include "fake_platform.h"
#include "ui/log_viewer.h"

namespace kesrow::testing {
namespace {

namespace fs = std::filesystem;

// The status is replaced whole: a stale temporary file, even a planted link
// in its place, is removed rather than written through.
TEST(StatusRewrite, ReplacesWholeAndNeverWritesThroughAPlantedLink)
{
    TempDir dir;
    const std::string path = dir.file("kesrow.txt");
    const std::string temp = TemporaryFileFor(path, "PC,1/é");
    EXPECT_EQ(temp, path + ".PC%2C1%2F%C3%A9.tmp");
    WriteBytes(path, "OK\r\n");
    WriteBytes(dir.file("victim"), "keep");
    fs::create_symlink(dir.file("victim"), temp);
    ReplaceWithLine(path, "PC01", temp);
    EXPECT_EQ(ReadBytes(path), "PC01\r\n");
    EXPECT_EQ(ReadBytes(dir.file("victim")), "keep");
    EXPECT_FALSE(fs::exists(fs::symlink_status(temp)));
}

// A torn last log line is ended before the next line, which stands alone.
TEST(LogAppend, EndsATornLastLineFirst)
{
    for (const auto& [before, kept] : {std::pair{"", ""}, {"A\r\n", "A\r\n"}, {"A", "A\r\n"}, {"A\r", "A\r\n"}, {"A\n", "A\n"}}) {
        TempDir dir;
        WriteBytes(dir.file("kesrow.log"), before);
        TextFile log(dir.file("kesrow.log"), OpenMode::Append);
        log.WriteLine({"B"});
        log.WriteLine({"C"});
        log.Close();
        EXPECT_EQ(ReadBytes(dir.file("kesrow.log")), std::string(kept) + "B\r\nC\r\n") << before;
    }
}

// A log beyond the viewer's limit shows its last whole lines after a line
// saying how much was left out.
TEST(LogViewer, ShowsTheLastPartOfALargeLog)
{
    TempDir dir;
    const std::string line = ToCp932(ConnectLine("PC01", "2026/12/07 9:00:00")) + "\r\n";
    std::string block;
    for (int i = 0; i < 10000; ++i) block += line;
    {
        std::ofstream out(dir.file("kesrow.log"), std::ios::binary);
        while (out.tellp() < std::streamoff(50) * 1024 * 1024) out << block;
        out << "LAST\r\n";
    }
    const auto size = fs::file_size(dir.file("kesrow.log"));
    const std::string text = LogViewerText(dir.file("kesrow.log"));
    const std::size_t shownLines = (kLogViewLimit - 6) / line.size();
    const std::size_t skipped = size - 6 - shownLines * line.size();
    const std::string head = "\r\n" + LogTailNote(skipped) + "\r\n" + ConnectLine("PC01", "2026/12/07 9:00:00");
    EXPECT_EQ(text.compare(0, head.size(), head), 0) << text.substr(0, 200);
    EXPECT_EQ(text.substr(text.size() - 6), "\r\nLAST");
}

// pas.txt whose first line is empty: the status file is the working
// directory's, and the unload path still releases the line there.
TEST(UnloadPath, AnEmptyServerPathStillReleases)
{
    TempDir cwd;
    FakePlatform fake;
    fake.cwd = cwd.path().string();
    WriteBytes(cwd.file("pas.txt"), "\r\n");
    WriteBytes(cwd.file("kesrow.txt"), "PC01\r\n");
    const fs::path before = fs::current_path();
    fs::current_path(cwd.path());
    MainForm form(fake.platform);
    form.Form_Load();
    form.Unload();
    ASSERT_TRUE(fake.runUntil([&] { return form.Settled(); }));
    fs::current_path(before);
    EXPECT_EQ(ReadBytes(cwd.file("kesrow.txt")), "OK\r\n");
    EXPECT_EQ(fake.trace, "prev cwd add1 on rm host host now unloaded");
}

}  // namespace
}  // namespace kesrow::testing
