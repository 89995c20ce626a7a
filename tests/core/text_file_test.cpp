// Code page 932 at the file boundary, the three open modes, and the field rule.
#include <gtest/gtest.h>

#include "core/codepage.h"
#include "core/text_file.h"
#include "test_files.h"

namespace kesrow {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

TEST(Codepage, RoundTripsJapaneseAndHalfWidthKatakana)
{
    for (const char* text : {"ケスロウ", "ｼｽﾃﾑ情報", "最後は￥でくくること", "ＯＫ", "PC01"})
        EXPECT_EQ(FromCp932(ToCp932(text)), text);
    EXPECT_EQ(ToCp932("￥"), "\x81\x8F");
}

TEST(Codepage, UnmappableTextBecomesQuestionMarkAndBadBytesReplacementCharacters)
{
    EXPECT_EQ(ToCp932("a😀b"), "a?b");
    EXPECT_EQ(FromCp932("a\x82"), "a\xEF\xBF\xBD");           // lead byte cut off at the end
    EXPECT_EQ(FromCp932("x\xA0y\xFFz"), "x\xEF\xBF\xBDy\xEF\xBF\xBDz");
}

TEST(TextFileWrite, WriteLineIsItemsThenCrLfInCp932)
{
    TempDir dir;
    const auto path = dir.file("out.txt");
    {
        TextFile f(path, OpenMode::Output);
        f.WriteLine({"PC01"});
        f.WriteLine({"※※※※ ", "PC02"});
        f.Close();
    }
    EXPECT_EQ(ReadBytes(path), "PC01\r\n\x81\xA6\x81\xA6\x81\xA6\x81\xA6\x20PC02\r\n");
}

TEST(TextFileWrite, OutputEmptiesAndAppendKeepsAndBothCreate)
{
    TempDir dir;
    const auto path = dir.file("f.txt");
    TextFile(path, OpenMode::Append).WriteLine({"first"});
    EXPECT_EQ(ReadBytes(path), "first\r\n");
    TextFile(path, OpenMode::Append).WriteLine({"second"});
    EXPECT_EQ(ReadBytes(path), "first\r\nsecond\r\n");
    TextFile(path, OpenMode::Output).WriteLine({"OK"});
    EXPECT_EQ(ReadBytes(path), "OK\r\n");
    const auto fresh = dir.file("fresh.txt");
    TextFile(fresh, OpenMode::Output).WriteLine({"x"});
    EXPECT_EQ(ReadBytes(fresh), "x\r\n");
}

TEST(TextFileOpen, FailuresNameTheFileAndTheSystemMessage)
{
    TempDir dir;
    const auto missing = dir.file("missing.txt");
    try {
        TextFile f(missing, OpenMode::Input);
        FAIL() << "opening a missing file for reading succeeded";
    } catch (const FileError& e) {
        EXPECT_EQ(e.path(), missing);
        EXPECT_EQ(e.error(), ENOENT);
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("No such file"), std::string::npos);
    }
    EXPECT_THROW(TextFile(dir.file("no/such/dir.txt"), OpenMode::Append), FileError);
    EXPECT_FALSE(testing::Exists(missing));
}

// Reads every field of the given bytes until AtEnd.
std::vector<std::string> Fields(const std::string& bytes)
{
    TempDir dir;
    WriteBytes(dir.file("in.txt"), bytes);
    TextFile f(dir.file("in.txt"), OpenMode::Input);
    std::vector<std::string> out;
    while (!f.AtEnd()) out.push_back(f.ReadField());
    return out;
}

using Strings = std::vector<std::string>;

TEST(ReadField, SplitsAtCommasAndEveryKindOfLineEnd)
{
    EXPECT_EQ(Fields("OK\r\n"), Strings{"OK"});
    EXPECT_EQ(Fields("a,b\r\nc\nd\re"), (Strings{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(Fields("D:/A,B/\r\n"), (Strings{"D:/A", "B/"}));
    EXPECT_EQ(Fields("\r\n"), Strings{""});
    EXPECT_EQ(Fields("no line end"), Strings{"no line end"});
}

TEST(ReadField, SkipsLeadingSpacesAndStripsQuotes)
{
    EXPECT_EQ(Fields("   OK\r\n"), Strings{"OK"});
    EXPECT_EQ(Fields("\"a, b\",c\r\n"), (Strings{"a, b", "c"}));
    EXPECT_EQ(Fields("  \"//SRV/SHARE/\"\r\n"), Strings{"//SRV/SHARE/"});
}

TEST(ReadField, ReadsJapaneseLogLinesWholeBecauseTheIdeographicCommaIsNoDelimiter)
{
    const std::string line = "PC01\x82\xAA\x81\x41\x20" "1998/09/03 10:15:00\x20\x90\xDA\x91\xB1\r\n";
    EXPECT_EQ(Fields(line + line), (Strings{"PC01が、 1998/09/03 10:15:00 接続", "PC01が、 1998/09/03 10:15:00 接続"}));
}

TEST(ReadField, ZeroLengthFileIsAtEndAndReadingThereFails)
{
    TempDir dir;
    WriteBytes(dir.file("empty.txt"), "");
    TextFile f(dir.file("empty.txt"), OpenMode::Input);
    EXPECT_TRUE(f.AtEnd());
    EXPECT_THROW(f.ReadField(), FileError);
}

TEST(ReplaceWithLine, LeavesExactlyTheLineAndNoTemporaryFile)
{
    TempDir dir;
    const auto path = dir.file("pas.txt");
    WriteBytes(path, "old/\r\nsecond line\r\n");
    ReplaceWithLine(path, "/srv/kesrow/");
    EXPECT_EQ(ReadBytes(path), "/srv/kesrow/\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(ReplaceWithLine, AFailedReplaceKeepsTheOldContent)
{
    TempDir dir;
    // A non-empty folder under the target name cannot be replaced by a file.
    std::filesystem::create_directories(dir.path() / "pas.txt" / "keep");
    EXPECT_THROW(ReplaceWithLine(dir.file("pas.txt"), "/new/"), FileError);
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "pas.txt" / "keep"));
    EXPECT_FALSE(testing::Exists(dir.file("pas.txt.new")));
    EXPECT_THROW(ReplaceWithLine(dir.file("gone/pas.txt"), "/new/"), FileError);
}

}  // namespace
}  // namespace kesrow
