// The probe against real interfaces, with lines simulated by
// tests/tools/dialup_line. CTest runs these under unshare -n.
#include <net/if.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "core/dialup_probe.h"
#include "dialup_line_process.h"
#include "platform/posix/posix_services.h"

namespace kesrow {
namespace {

using testing::DialUpLineProcess;

struct Enumeration {
    std::uint32_t status = 0;
    std::uint32_t count = 0;
    std::uint32_t bufferSize = 0;
    RasConnA records[2];
};

// One call as the probe makes it, on records filled with a byte the call
// must overwrite where it writes a name.
Enumeration Enumerate(std::uint32_t bufferSize = sizeof(RasConnA))
{
    Enumeration e;
    std::memset(e.records, 'x', sizeof e.records);
    e.bufferSize = bufferSize;
    LinuxDialUp dialUp;
    e.status = dialUp.RasEnumConnectionsA(e.records, &e.bufferSize, &e.count);
    return e;
}

std::string EntryName(const RasConnA& record)
{
    return std::string(record.szEntryName, strnlen(record.szEntryName, sizeof record.szEntryName));
}

// Creating links is only safe in a namespace of its own: a fresh one holds loopback alone.
class LinuxDialUpInNamespace : public ::testing::Test {
protected:
    void SetUp() override
    {
        struct if_nameindex* links = ::if_nameindex();
        ASSERT_NE(links, nullptr);
        const bool fresh = links[0].if_name && std::string(links[0].if_name) == "lo" && !links[1].if_name;
        if_freenameindex(links);
        if (!fresh) GTEST_SKIP() << "run under unshare -n as root (CTest does)";
    }
};

TEST_F(LinuxDialUpInNamespace, LinksThatAreNoDialUpLineAreNoConnection)
{
    const int s = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq lo{};
    std::strcpy(lo.ifr_name, "lo");
    ASSERT_EQ(ioctl(s, SIOCGIFFLAGS, &lo), 0);
    lo.ifr_flags |= IFF_UP;
    ASSERT_EQ(ioctl(s, SIOCSIFFLAGS, &lo), 0);
    close(s);
    DialUpLineProcess tun({"--kind", "tun", "tun0"});
    DialUpLineProcess tap({"--kind", "tap", "eth7"});
    DialUpLineProcess noCarrier({"--no-carrier", "ppp3"});
    const Enumeration e = Enumerate();
    EXPECT_EQ(e.status, 0u);
    EXPECT_EQ(e.count, 0u);
    EXPECT_EQ(e.records[0].szEntryName[0], 'x') << "no record is written without a connection";
}

TEST_F(LinuxDialUpInNamespace, PppLineCountsWhileUpAndNotAfterHangUp)
{
    LinuxDialUp dialUp;
    std::string entryName = "stale";
    EXPECT_EQ(IsDialedUp(dialUp, entryName), kFalse);
    EXPECT_EQ(entryName, "");

    DialUpLineProcess line({"ppp-fifteen-chr"});  // the longest name comes back whole
    Enumeration e = Enumerate();
    EXPECT_EQ(e.status, 0u);
    EXPECT_EQ(e.count, 1u);
    EXPECT_EQ(EntryName(e.records[0]), "ppp-fifteen-chr");
    EXPECT_EQ(e.bufferSize, sizeof(RasConnA));
    EXPECT_EQ(IsDialedUp(dialUp, entryName), kTrue);
    EXPECT_EQ(entryName, "ppp-fifteen-chr");

    ASSERT_EQ(line.hangUp(), 0);
    e = Enumerate();
    EXPECT_EQ(e.status, 0u);
    EXPECT_EQ(e.count, 0u);
}

TEST_F(LinuxDialUpInNamespace, MobileBroadbandModemCountsWhateverItsLinkType)
{
    DialUpLineProcess modem({"--kind", "tap", "ww0"});
    DialUpLineProcess other({"--kind", "tun", "wwan1"});
    const Enumeration e = Enumerate(sizeof e.records);
    EXPECT_EQ(e.status, 0u);
    EXPECT_EQ(e.count, 2u);
    EXPECT_EQ(EntryName(e.records[0]) + " " + EntryName(e.records[1]), "ww0 wwan1");
}

TEST_F(LinuxDialUpInNamespace, TwoLinesOverflowTheOneRecordBuffer)
{
    DialUpLineProcess first({"ppp0"});
    DialUpLineProcess second({"ppp1"});
    Enumeration e = Enumerate();
    EXPECT_EQ(e.status, 603u);
    EXPECT_EQ(e.count, 2u);
    EXPECT_EQ(e.bufferSize, 2 * sizeof(RasConnA)) << "the size that would have held both";
    EXPECT_EQ(EntryName(e.records[0]), "ppp0");
    EXPECT_EQ(e.records[1].szEntryName[0], 'x') << "nothing written past the buffer";

    e = Enumerate(sizeof e.records);
    EXPECT_EQ(e.status, 0u);
    EXPECT_EQ(EntryName(e.records[0]) + " " + EntryName(e.records[1]), "ppp0 ppp1");

    e = Enumerate(0);  // no room at all still counts the lines
    EXPECT_EQ(e.status, 603u);
    EXPECT_EQ(e.count, 2u);
    EXPECT_EQ(e.records[0].szEntryName[0], 'x');
}

}  // namespace
}  // namespace kesrow
