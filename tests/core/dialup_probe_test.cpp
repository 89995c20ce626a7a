// The probe's record logic: one zero-filled record, the count decides.
#include <gtest/gtest.h>

#include "core/dialup_probe.h"
#include "fake_platform.h"

namespace kesrow {
namespace {

TEST(IsDialedUp, FollowsTheCountAloneAndReturnsTheFirstEntryName)
{
    testing::FakePlatform fake;
    std::string entry = "stale";
    fake.dialUpCount = 0;
    EXPECT_EQ(IsDialedUp(fake, entry), kFalse);
    EXPECT_EQ(entry, "");

    fake.dialUpCount = 1;
    EXPECT_EQ(IsDialedUp(fake, entry), kTrue);
    EXPECT_EQ(entry, "ppp0");

    // Too many for the one-record buffer: the error status changes nothing.
    fake.dialUpCount = 3;
    fake.entryName = "wwan0";
    EXPECT_EQ(IsDialedUp(fake, entry), kTrue);
    EXPECT_EQ(entry, "wwan0");
}

TEST(IsDialedUp, AnEntryNameFillingAll256BytesComesBackWhole)
{
    testing::FakePlatform fake;
    fake.dialUpCount = 1;
    fake.entryName = std::string(256, 'n');
    std::string entry;
    EXPECT_EQ(IsDialedUp(fake, entry), kTrue);
    EXPECT_EQ(entry, fake.entryName);
}

// Records what the probe hands over: a zeroed record sized for exactly one.
class RecordingDialUp : public DialUpConnections {
public:
    std::uint32_t RasEnumConnectionsA(RasConnA* c, std::uint32_t* size, std::uint32_t* count) override
    {
        dwSize = c->dwSize;
        bufferSize = *size;
        countIn = *count;
        zeroed = c->hrasconn == 0 && c->szEntryName[0] == 0 && c->szDeviceName[128] == 0;
        std::memset(c->szEntryName, 'x', sizeof c->szEntryName);  // no NUL at all
        *count = 0;
        return 0;
    }
    std::uint32_t dwSize = 0, bufferSize = 0, countIn = 99;
    bool zeroed = false;
};

TEST(IsDialedUp, HandsOverOneZeroedRecordOf412BytesAndCountZero)
{
    RecordingDialUp ras;
    std::string entry;
    EXPECT_EQ(IsDialedUp(ras, entry), kFalse);
    EXPECT_EQ(ras.dwSize, 412u);
    EXPECT_EQ(ras.bufferSize, 412u);
    EXPECT_EQ(ras.countIn, 0u);
    EXPECT_TRUE(ras.zeroed);
    EXPECT_EQ(entry, std::string(257, 'x'));
}

}  // namespace
}  // namespace kesrow
