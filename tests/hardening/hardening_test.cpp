// What an unfriendly shared folder can hold, on real files: the status
// rewrite, the log append, the viewer's bound, and the main form's decisions
// that depend on them (the console copy's own cases are in hardening_test.sh).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>
#include <vector>

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
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""}, {"A\r\n", "A\r\n"}, {"A", "A\r\n"}, {"A\r", "A\r\n"}, {"A\n", "A\n"},
    };
    for (const auto& [before, kept] : cases) {
        TempDir dir;
        WriteBytes(dir.file("kesrow.log"), before);
        TextFile log(dir.file("kesrow.log"), OpenMode::Append);
        log.WriteLine({"B"});
        log.WriteLine({"C"});
        log.Close();
        EXPECT_EQ(ReadBytes(dir.file("kesrow.log")), kept + "B\r\nC\r\n") << before;
    }
}

// What a copy reads back of a value it writes as a field.
TEST(FieldText, QuotedWhenTheFieldRuleWouldCutIt)
{
    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        // value, written, read back
        {"PC01", "PC01", "PC01"},
        {"PC,1", "\"PC,1\"", "PC,1"},
        {" PC", "\" PC\"", " PC"},
        {"café", "café", "caf?"},
        {"a\"b,c", "a\"b,c", "a\"b"},
    };
    for (const auto& [value, written, readBack] : cases) {
        EXPECT_EQ(FieldText(value), written);
        EXPECT_EQ(AsReadBack(value), readBack);
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

// A copy on the fake platform whose pas.txt names a real server folder.
struct Copy {
    TempDir cwd, server;
    FakePlatform fake;
    MainForm form{fake.platform};
    explicit Copy(const std::string& pas)
    {
        fake.cwd = cwd.path().string();
        WriteBytes(cwd.file("pas.txt"), pas.empty() ? "\r\n" : server.prefix() + "\r\n");
    }
    std::string Status() const { return ReadBytes(server.file("kesrow.txt")); }
};

// A name the status file cannot give back as it is: the holder still knows
// itself, is shown as others read it, is not warned, and releases.
TEST(Hardening, HostNamesAreComparedAsTheStatusFileGivesThemBack)
{
    for (const auto& [name, written, shown] : {std::tuple{"PC,1", "\"PC,1\"\r\n", "PC,1"},
                                              std::tuple{"café", "caf?\r\n", "caf?"}}) {
        Copy copy("$S");
        WriteBytes(copy.server.file("kesrow.txt"), "OK\r\n");
        copy.fake.host = name;
        copy.fake.dialUps = {1, 1, 1, 1};  // claim, then dialled up on a tick of its own
        copy.form.Form_Load();
        for (int tick = 0; tick < 4; ++tick) copy.form.Timer1_Timer();
        EXPECT_EQ(copy.Status(), written) << name;
        EXPECT_NE(copy.fake.trace.find(std::string(" add2:") + shown + " "), std::string::npos) << copy.fake.trace;
        EXPECT_EQ(copy.fake.trace.find("warn"), std::string::npos) << copy.fake.trace;
        copy.form.Timer1_Timer();
        EXPECT_EQ(copy.Status(), "OK\r\n") << name;
        WriteBytes(copy.server.file("kesrow.txt"), written);
        copy.form.Unload();
        EXPECT_EQ(copy.Status(), "OK\r\n") << name << " at exit";
    }
}

// pas.txt whose first line is empty: the status file is the working
// directory's, and the unload path still releases the line there.
TEST(Hardening, AnEmptyServerPathStillReleasesAtUnload)
{
    Copy copy("");
    const fs::path before = fs::current_path();
    fs::current_path(copy.server.path());
    WriteBytes("kesrow.txt", "PC01\r\n");
    copy.form.Form_Load();
    copy.form.Unload();
    fs::current_path(before);
    EXPECT_EQ(copy.Status(), "OK\r\n");
    EXPECT_EQ(copy.fake.trace, "prev cwd add1 on rm host host now unloaded");
}

}  // namespace
}  // namespace kesrow::testing
