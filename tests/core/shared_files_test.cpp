// The date-time text and the three log lines as they reach the file.
#include <gtest/gtest.h>

#include "core/codepage.h"
#include "core/shared_files.h"

namespace kesrow {
namespace {

TEST(DateTimeText, ShortDateBlankTimeWithSecondsAndDateAloneAtMidnight)
{
    EXPECT_EQ(DateTimeText({1998, 9, 3, 10, 15, 0}), "1998/09/03 10:15:00");
    EXPECT_EQ(DateTimeText({2026, 12, 7, 9, 5, 3}), "2026/12/07 9:05:03");
    EXPECT_EQ(DateTimeText({2026, 1, 1, 0, 0, 0}), "2026/01/01");
    EXPECT_EQ(DateTimeText({2026, 1, 1, 0, 0, 1}), "2026/01/01 0:00:01");
    EXPECT_EQ(DateTimeText({2026, 1, 1, 23, 59, 59}), "2026/01/01 23:59:59");
}

TEST(LogLines, ConnectDisconnectAndViolationInCp932)
{
    EXPECT_EQ(ToCp932(ConnectLine("PC01", "1998/09/03 10:15:00")),
              "PC01\x82\xAA\x81\x41\x20" "1998/09/03 10:15:00\x20\x90\xDA\x91\xB1");
    EXPECT_EQ(ToCp932(DisconnectLine("PC01", "1998/09/03")),
              "PC01\x82\xAA\x81\x41\x20" "1998/09/03\x20\x90\xD8\x92\x66");
    EXPECT_EQ(ToCp932(std::string(kViolationMarker) + ViolationMessage("PC02", "1998/09/03 1:02:03")),
              "\x81\xA6\x81\xA6\x81\xA6\x81\xA6\x20PC02\x82\xCC\x90\xDA\x91\xB1\x88\xE1\x94\xBD\x82\xAA\x20"
              "1998/09/03 1:02:03\x20\x82\xC9\x82\xA0\x82\xE8\x82\xDC\x82\xB5\x82\xBD");
}

TEST(ServerPathFile, OneSeparatorAfterTheCurrentDirectoryEvenAtTheRoot)
{
    EXPECT_EQ(ServerPathFile("/home/office"), "/home/office/pas.txt");
    EXPECT_EQ(ServerPathFile("/"), "//pas.txt");
}

}  // namespace
}  // namespace kesrow
