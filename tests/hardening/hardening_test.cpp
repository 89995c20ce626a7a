// What an unfriendly shared folder can hold, on real files: what is no
// ordinary file or a planted link, a torn log line, a short write, a log
// beyond the viewer's bound, an empty pas.txt at unload (the console copy's
// own cases: hardening_test.sh).
#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <tuple>

#include "core/codepage.h"
#include "core/log_report.h"
#include "core/main_form.h"
#include "core/shared_files.h"
#include "core/text_file.h"
#include "fake_platform.h"
#include "ui/log_viewer.h"

namespace kesrow::testing {
namespace {

namespace fs = std::filesystem;

// Only ordinary files of bounded size are read, and nothing waits on them;
// a planted link is never read or written through.
TEST(TextFile, RefusesWhatIsNoOrdinaryFileOrTooLarge)
{
    TempDir dir;
    fs::create_symlink("/dev/zero", dir.file("zero"));
    ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0600), 0);
    fs::create_directory(dir.file("folder"));
    WriteBytes(dir.file("big"), std::string(kLineFileLimit + 1, 'P'));
    fs::create_symlink(dir.file("big"), dir.file("link"));
    for (const char* name : {"zero", "fifo", "folder", "big", "missing", "link"})
        EXPECT_THROW(TextFile(dir.file(name), OpenMode::Input).AtEnd(), FileError) << name;
    for (const char* name : {"fifo", "folder", "missing", "link"})  // as --status reads the log
        EXPECT_THROW(LastConnect(dir.file(name), "PC01"), FileError) << name;
    // Nor is a link written through: its target stays as it was.
    for (OpenMode mode : {OpenMode::Output, OpenMode::Append}) EXPECT_THROW(TextFile(dir.file("link"), mode).WriteLine({"PC01"}), FileError);
    EXPECT_EQ(fs::file_size(dir.file("big")), kLineFileLimit + 1);
}

// A torn last log line is ended before the next line, which stands alone.
TEST(TextFile, EndsATornLastLogLineFirst)
{
    TempDir dir;
    const std::string path = dir.file("kesrow.log");
    for (const auto& [before, kept] : {std::pair{"A", "A\r\n"}, {"A\r", "A\r\n"}, {"A\n", "A\n"}}) {
        WriteBytes(path, before);
        TextFile log(path, OpenMode::Append);
        log.WriteLine({"B"});
        log.WriteLine({"C"});
        log.Close();
        EXPECT_EQ(ReadBytes(path), std::string(kept) + "B\r\nC\r\n") << before;
    }
}

// A write the system takes only in part (a full disk; here a file size
// limit) fails, and the file still ends in a whole line: the append cuts
// its head off again, the overwrite leaves the old line's end.
TEST(TextFile, AShortWriteFails)
{
    TempDir dir;
    const std::string path = dir.file("kesrow.log");
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto sigxfsz = signal(SIGXFSZ, SIG_IGN);
    const std::tuple<OpenMode, const char*, rlim_t, const char*> rows[] = {
        {OpenMode::Append, "A\r\n", 6, "A\r\n"}, {OpenMode::Append, "A", 4, "A"},
        {OpenMode::Output, "PC-LONGER\r\n", 2, "OK-LONGER\r\n"}};
    for (const auto& [mode, old, limit, kept] : rows) {
        WriteBytes(path, old);
        rlimit low = before;
        low.rlim_cur = limit;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &low), 0);
        EXPECT_THROW(TextFile(path, mode).WriteLine({"OK"}), FileError) << old;
        setrlimit(RLIMIT_FSIZE, &before);
        EXPECT_EQ(ReadBytes(path), kept) << old;
    }
    signal(SIGXFSZ, sigxfsz);
}

// A log beyond the viewer's limit shows its last whole lines after a line
// saying how much was left out; a cut on a line start loses no line.
TEST(TextFile, LogViewerShowsTheLastPartOfALargeLog)
{
    TempDir dir;
    const std::string line = ToCp932(ConnectLine("PC01", "2026/12/07 9:00:00")) + "\r\n";
    const std::string last(kLogViewLimit % line.size() + line.size() - 2, 'L');
    std::string log;
    while (log.size() < kLogViewLimit) log += line;
    WriteBytes(dir.file("kesrow.log"), log += last + "\r\n");
    const std::string text = LogViewerText(dir.file("kesrow.log"));
    const std::string head = "\r\n" + LogTailNote(log.size() - kLogViewLimit) + "\r\n" + ConnectLine("PC01", "2026/12/07 9:00:00");
    EXPECT_EQ(text.compare(0, head.size(), head), 0) << text.substr(0, 200);
    EXPECT_EQ(text.substr(text.size() - last.size() - 2), "\r\n" + last);
}

// pas.txt whose first line is empty: the status file is the working
// directory's, and the unload path still releases the line there.
TEST(SharedFiles, AnEmptyServerPathStillReleasesAtUnload)
{
    TempDir cwd;
    FakePlatform fake;
    fake.cwd = cwd.path().string();
    WriteBytes(cwd.file("pas.txt"), "\r\n");
    WriteBytes(cwd.file("kesrow.txt"), "PC01\r\n");
    const fs::path before = fs::current_path();
    fs::current_path(cwd.path());
    MainForm form(fake.platform, {}, [&] { fake.formUnloaded(); });
    form.Form_Load();
    ASSERT_TRUE(fake.runUntil([&] { return form.Settled(); }));
    form.Unload();
    ASSERT_TRUE(fake.runUntil([&] { return form.Settled(); }));
    fs::current_path(before);
    EXPECT_EQ(ReadBytes(cwd.file("kesrow.txt")), "OK\r\n");
    EXPECT_EQ(fake.trace, "prev cwd show3 host show1 on hide host host now unloaded");
}

}  // namespace
}  // namespace kesrow::testing
