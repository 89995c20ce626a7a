// Claim and release against real files: status rewritten whole, one log line
// appended (the claim through a tick is in poll_cycle_test).
#include "form_fixture.h"

namespace kesrow::testing {
namespace {

using ClaimRelease = FormTest;

TEST_F(ClaimRelease, ClaimUsesEachReadingWhereItWasTaken)
{
    Started();
    fake.hostNames = {"PC01", "PC01B"};
    form.setuzoku();
    EXPECT_EQ(Status(), "PC01\r\n");
    EXPECT_EQ(Log(), ConnectBytes("PC01B"));
}

TEST_F(ClaimRelease, ReleaseWritesOkEvenOverAnotherHolderAndCreatesAMissingLog)
{
    Started("PC02\r\n");
    form.setudan();
    EXPECT_EQ(fake.calls, (Calls{"host", "now"}));
    EXPECT_EQ(Status(), "OK\r\n");
    EXPECT_EQ(Log(), DisconnectBytes("PC01"));
}

TEST_F(ClaimRelease, AMissingStatusFileIsCreatedByTheClaim)
{
    Started();
    std::filesystem::remove(server.file("kesrow.txt"));
    form.setuzoku();
    EXPECT_EQ(Status(), "PC01\r\n");
}

TEST_F(ClaimRelease, AFailedLogAppendKeepsTheRewrittenStatus)
{
    Started();
    std::filesystem::create_directory(server.file("kesrow.log"));  // cannot be appended to
    EXPECT_THROW(form.setuzoku(), FileError);
    EXPECT_EQ(Status(), "PC01\r\n");
}

TEST_F(ClaimRelease, AFailedStatusWriteLeavesTheLogUntouched)
{
    Started();
    std::filesystem::remove(server.file("kesrow.txt"));
    std::filesystem::create_directory(server.file("kesrow.txt"));
    EXPECT_THROW(form.setudan(), FileError);
    EXPECT_FALSE(LogExists());
}

TEST_F(ClaimRelease, JapaneseHostNamesReachTheFilesInCp932)
{
    Started();
    fake.hostName = "経理PC";
    form.setuzoku();
    EXPECT_EQ(Status(), "\x8C\x6F\x97\x9D" "PC\r\n");
    EXPECT_EQ(Log(), ConnectBytes("経理PC"));
}

}  // namespace
}  // namespace kesrow::testing
