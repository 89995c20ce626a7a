// The probe against real interfaces, with lines simulated by
// tests/tools/dialup_line. CTest runs these under unshare -n.
#include <net/if.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "dialup_line_process.h"
#include "platform/posix/posix_services.h"

namespace kesrow {
namespace {

using testing::DialUpLineProcess;
using Names = std::vector<std::string>;

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

TEST_F(LinuxDialUpInNamespace, OnlyPppLinesAndModemsThatAreUpAndRunningCount)
{
    const int s = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq lo{};
    std::strcpy(lo.ifr_name, "lo");
    ASSERT_EQ(ioctl(s, SIOCGIFFLAGS, &lo), 0);
    lo.ifr_flags |= IFF_UP;
    ASSERT_EQ(ioctl(s, SIOCSIFFLAGS, &lo), 0);
    close(s);
    LinuxDialUp dialUp;
    DialUpLineProcess tun({"--kind", "tun", "tun0"});
    DialUpLineProcess tap({"--kind", "tap", "eth7"});
    DialUpLineProcess noCarrier({"--no-carrier", "ppp3"});
    EXPECT_EQ(dialUp.activeConnections(), 0);

    DialUpLineProcess line({"ppp-fifteen-chr"});
    DialUpLineProcess modem({"--kind", "tap", "ww0"});
    DialUpLineProcess other({"--kind", "tun", "wwan1"});
    EXPECT_EQ(dialUp.activeInterfaces(), (Names{"ppp-fifteen-chr", "ww0", "wwan1"}));
    EXPECT_EQ(dialUp.activeConnections(), 3);

    ASSERT_EQ(line.hangUp(), 0);
    EXPECT_EQ(dialUp.activeInterfaces(), (Names{"ww0", "wwan1"}));
}

}  // namespace
}  // namespace kesrow
