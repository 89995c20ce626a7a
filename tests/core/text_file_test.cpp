// The shared files byte for byte: code page 932, CR LF, the field rule, the
// open modes, the whole-file replace, the log's time and the paths.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/codepage.h"
#include "core/shared_files.h"
#include "core/text_file.h"
#include "fake_platform.h"

namespace kesrow::testing {
namespace {

// The fields ReadField gives until AtEnd, each followed by '|'.
std::string Fields(const std::string& bytes)
{
    TempDir dir;
    WriteBytes(dir.file("in.txt"), bytes);
    TextFile f(dir.file("in.txt"), OpenMode::Input);
    std::string out;
    while (!f.AtEnd()) out += f.ReadField() + "|";
    EXPECT_THROW(f.ReadField(), FileError);
    return out;
}

TEST(TextFile, ReadsFields)
{
    const std::pair<std::string, std::string> rows[] = {
        {"", ""}, {"OK\r\n", "OK|"}, {"\r\n", "|"}, {"a,b\r\nc\nd\re", "a|b|c|d|e|"}, {"\r\n\r\nx", "||x|"},
        {"   OK\r\n", "OK|"}, {"\"a, b\",c\r\n", "a, b|c|"}, {"  \"//SRV/\"x,y\r\n", "//SRV/|y|"}, {"\"open", "open|"},
        {"PC01\x82\xAA\x81\x41 10:15:00 \x90\xDA\x91\xB1\r\n", "PC01が、 10:15:00 接続|"},  // 、 is no delimiter
        {"A\xFF" "B\r\n\x82", "A\xEF\xBF\xBD" "B|\xEF\xBF\xBD|"}, {std::string(4096, 'P'), std::string(4096, 'P') + "|"},
    };
    for (const auto& [bytes, fields] : rows) EXPECT_EQ(Fields(bytes), fields) << bytes;
}

TEST(TextFile, WritesCp932LinesWithCrLf)
{
    EXPECT_EQ(ToCp932("ｼｽﾃﾑ￥①～－a😀b"), "\xBC\xBD\xC3\xD1\x81\x8F\x87\x40\x81\x60\x81\x7C" "a?b");
    TempDir dir;
    const std::string path = dir.file("f.txt"), fresh = dir.file("fresh.txt");
    TextFile(path, OpenMode::Append).WriteLine({"PC01"});
    TextFile(path, OpenMode::Append).WriteLine({"※※※※ ", "経理"});
    EXPECT_EQ(ReadBytes(path), "PC01\r\n\x81\xA6\x81\xA6\x81\xA6\x81\xA6 \x8C\x6F\x97\x9D\r\n");
    TextFile(path, OpenMode::Output).WriteLine({"OK"});
    EXPECT_EQ(ReadBytes(path), "OK\r\n");
    TextFile(path, OpenMode::Output).WriteLine({"PC-LONGER"});
    EXPECT_EQ(ReadBytes(path), "PC-LONGER\r\n");
    TextFile(fresh, OpenMode::Output).WriteLine({""});
    EXPECT_EQ(ReadBytes(fresh), "\r\n");

    ReplaceWithLine(path, "/srv/kesrow/");
    EXPECT_EQ(ReadBytes(path), "/srv/kesrow/\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
    // A folder under the name cannot be replaced: it stays, and no temporary file is left.
    std::filesystem::create_directories(dir.path() / "pas.txt" / "keep");
    EXPECT_THROW(ReplaceWithLine(dir.file("pas.txt"), "/new/"), FileError);
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "pas.txt" / "keep"));
    EXPECT_FALSE(Exists(dir.file("pas.txt.new")));
}

TEST(TextFile, FailuresNameTheFile)
{
    TempDir dir;
    EXPECT_THROW(TextFile(dir.file("no/dir"), OpenMode::Append), FileError);
    try {
        TextFile missing(dir.file("missing"), OpenMode::Input);
        FAIL();
    } catch (const FileError& e) {
        EXPECT_EQ(e.error(), ENOENT);
        EXPECT_EQ(std::string(e.what()), SystemWords(dir.file("missing") + ": No such file or directory"));
    }
}

TEST(SharedFiles, Texts)
{
    const std::pair<LocalDateTime, const char*> times[] = {
        {{1998, 9, 3, 10, 15, 0}, "1998/09/03 10:15:00"}, {{2026, 12, 7, 9, 5, 3}, "2026/12/07 9:05:03"},
        {{2026, 1, 1, 0, 0, 0}, "2026/01/01"}, {{2026, 1, 1, 0, 0, 1}, "2026/01/01 0:00:01"},
        {{2026, 1, 1, 0, 1, 0}, "2026/01/01 0:01:00"}};
    for (const auto& [t, text] : times) EXPECT_EQ(DateTimeText(t), text);
    EXPECT_EQ(ServerPathFile(Native("/home/office")), Native("/home/office/pas.txt"));
    EXPECT_EQ(BoxLineBreaks("a\rb\r\nc\n"), "a\nb\nc\n");
}

}  // namespace
}  // namespace kesrow::testing
