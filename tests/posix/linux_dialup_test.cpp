// The probe against real interfaces, each test in a network namespace of
// its own with lines simulated by tests/tools/dialup_line.
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
#include "private_netns.h"

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
Enumeration Enumerate(LinuxDialUp& dialUp, std::uint32_t bufferSize = sizeof(RasConnA))
{
    Enumeration e;
    std::memset(e.records, 'x', sizeof e.records);
    e.bufferSize = bufferSize;
    e.status = dialUp.RasEnumConnectionsA(e.records, &e.bufferSize, &e.count);
    return e;
}

std::string EntryName(const RasConnA& record)
{
    return std::string(record.szEntryName, strnlen(record.szEntryName, sizeof record.szEntryName));
}

void BringLoopbackUp()
{
    const int s = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq request{};
    std::strcpy(request.ifr_name, "lo");
    ASSERT_EQ(ioctl(s, SIOCGIFFLAGS, &request), 0);
    request.ifr_flags |= IFF_UP;
    ASSERT_EQ(ioctl(s, SIOCSIFFLAGS, &request), 0);
    close(s);
}

TEST(LinuxDialUpInNamespace, LoopbackAloneIsNoConnection)
{
    RUN_IN_PRIVATE_NET_NAMESPACE();
    BringLoopbackUp();
    LinuxDialUp dialUp;
    const Enumeration e = Enumerate(dialUp);
    EXPECT_EQ(e.status, 0u);
    EXPECT_EQ(e.count, 0u);
    EXPECT_EQ(e.records[0].szEntryName[0], 'x') << "no record is written without a connection";
}

TEST(LinuxDialUpInNamespace, PppLineCountsWhileUpAndNotAfterHangUp)
{
    RUN_IN_PRIVATE_NET_NAMESPACE();
    LinuxDialUp dialUp;
    EXPECT_EQ(Enumerate(dialUp).count, 0u);

    DialUpLineProcess line({"ppp0"});
    Enumeration e = Enumerate(dialUp);
    EXPECT_EQ(e.status, 0u);
    EXPECT_EQ(e.count, 1u);
    EXPECT_EQ(EntryName(e.records[0]), "ppp0");
    EXPECT_EQ(e.bufferSize, sizeof(RasConnA));

    ASSERT_EQ(line.hangUp(), 0);
    e = Enumerate(dialUp);
    EXPECT_EQ(e.status, 0u);
    EXPECT_EQ(e.count, 0u);
}

TEST(LinuxDialUpInNamespace, LongestInterfaceNameComesBackWhole)
{
    RUN_IN_PRIVATE_NET_NAMESPACE();
    DialUpLineProcess line({"ppp-fifteen-chr"});
    LinuxDialUp dialUp;
    const Enumeration e = Enumerate(dialUp);
    EXPECT_EQ(e.count, 1u);
    EXPECT_EQ(EntryName(e.records[0]), "ppp-fifteen-chr");
}

TEST(LinuxDialUpInNamespace, PlainTunAndEthernetTapAreNoDialUp)
{
    RUN_IN_PRIVATE_NET_NAMESPACE();
    BringLoopbackUp();
    DialUpLineProcess tun({"--kind", "tun", "tun0"});
    DialUpLineProcess tap({"--kind", "tap", "eth7"});
    LinuxDialUp dialUp;
    const Enumeration e = Enumerate(dialUp);
    EXPECT_EQ(e.status, 0u);
    EXPECT_EQ(e.count, 0u);
}

TEST(LinuxDialUpInNamespace, PppLinkWithoutCarrierIsNoConnection)
{
    RUN_IN_PRIVATE_NET_NAMESPACE();
    DialUpLineProcess line({"--no-carrier", "ppp3"});
    LinuxDialUp dialUp;
    EXPECT_EQ(Enumerate(dialUp).count, 0u);
}

TEST(LinuxDialUpInNamespace, MobileBroadbandModemCountsWhateverItsLinkType)
{
    RUN_IN_PRIVATE_NET_NAMESPACE();
    DialUpLineProcess modem({"--kind", "tap", "ww0"});
    DialUpLineProcess other({"--kind", "tun", "wwan1"});
    LinuxDialUp dialUp;
    const Enumeration e = Enumerate(dialUp, sizeof e.records);
    EXPECT_EQ(e.status, 0u);
    EXPECT_EQ(e.count, 2u);
    EXPECT_EQ(EntryName(e.records[0]) + " " + EntryName(e.records[1]), "ww0 wwan1");
}

TEST(LinuxDialUpInNamespace, TwoLinesOverflowTheOneRecordBuffer)
{
    RUN_IN_PRIVATE_NET_NAMESPACE();
    DialUpLineProcess first({"ppp0"});
    DialUpLineProcess second({"ppp1"});
    LinuxDialUp dialUp;

    Enumeration e = Enumerate(dialUp);
    EXPECT_EQ(e.status, 603u);
    EXPECT_EQ(e.count, 2u);
    EXPECT_EQ(e.bufferSize, 2 * sizeof(RasConnA)) << "the size that would have held both";
    EXPECT_EQ(EntryName(e.records[0]), "ppp0");
    EXPECT_EQ(e.records[1].szEntryName[0], 'x') << "nothing written past the buffer";

    e = Enumerate(dialUp, sizeof e.records);
    EXPECT_EQ(e.status, 0u);
    EXPECT_EQ(EntryName(e.records[0]) + " " + EntryName(e.records[1]), "ppp0 ppp1");
}

TEST(LinuxDialUpInNamespace, NoRoomAtAllStillCountsTheLine)
{
    RUN_IN_PRIVATE_NET_NAMESPACE();
    DialUpLineProcess line({"ppp0"});
    LinuxDialUp dialUp;
    const Enumeration e = Enumerate(dialUp, 0);
    EXPECT_EQ(e.status, 603u);
    EXPECT_EQ(e.count, 1u);
    EXPECT_EQ(e.records[0].szEntryName[0], 'x');
}

TEST(LinuxDialUpInNamespace, ModuleProbeSeesTheRealLine)
{
    RUN_IN_PRIVATE_NET_NAMESPACE();
    LinuxDialUp dialUp;
    std::string entryName = "stale";
    EXPECT_EQ(IsDialedUp(dialUp, entryName), kFalse);
    EXPECT_EQ(entryName, "");

    DialUpLineProcess line({"ppp0"});
    EXPECT_EQ(IsDialedUp(dialUp, entryName), kTrue);
    EXPECT_EQ(entryName, "ppp0");
}

}  // namespace
}  // namespace kesrow
