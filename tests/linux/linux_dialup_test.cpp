// The dial-up probe against real links in a network namespace of its own:
// which links count, carrier lost and back, a link gone between two probes
// of one tick, notices lost to a full socket; the probe and the host name
// watched by the share worker's wait. CTest runs it under unshare -n -u, as root.
#include <fcntl.h>
#include <linux/if_tun.h>
#include <linux/netlink.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <fstream>
#include <memory>
#include <thread>
#include <utility>

#include "core/worker_wait.h"
#include "platform/linux/posix_services.h"

namespace kesrow::testing {
namespace {

// Up to 10 s: the kernel publishes a carrier change through a deferred link watch.
bool Within10s(const std::function<bool()>& done)
{
    for (int ms = 0; ms < 10000 && !done(); ms += 5) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return done();
}

// A tun link held here: a PPP link, a plain tun one or an Ethernet-type tap
// (like a mobile-broadband "ww0"); up and running from construction, its
// carrier switched at will, gone once hung up.
struct TunLink {
    enum Kind { Ppp, Tun, Tap };
    int fd = open("/dev/net/tun", O_RDWR | O_CLOEXEC), control = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq request{};
    explicit TunLink(const char* name, Kind kind = Ppp)
    {
        std::strncpy(request.ifr_name, name, IFNAMSIZ - 1);
        request.ifr_flags = (kind == Tap ? IFF_TAP : IFF_TUN) | IFF_NO_PI;
        ifreq up = request;
        EXPECT_TRUE(ioctl(fd, TUNSETIFF, &up) == 0 && (kind != Ppp || ioctl(fd, TUNSETLINK, ARPHRD_PPP) == 0)) << name;
        up.ifr_flags = short(flags() | IFF_UP);
        EXPECT_EQ(ioctl(control, SIOCSIFFLAGS, &up), 0);
        EXPECT_TRUE(Within10s([&] { return running(); })) << name;
    }
    ~TunLink() { hangUp(), close(control); }
    void hangUp() { close(std::exchange(fd, -1)); }  // the last fd of a non-persistent link removes it
    void carrier(int on) { EXPECT_EQ(ioctl(fd, TUNSETCARRIER, &on), 0); }
    void mtu(int value) { ifreq r = request; r.ifr_mtu = value, ioctl(control, SIOCSIFMTU, &r); }
    int flags() { ifreq r = request; return ioctl(control, SIOCGIFFLAGS, &r) == 0 ? r.ifr_flags : 0; }
    bool running() { return flags() & IFF_RUNNING; }
};

// A fresh namespace holds loopback alone.
bool FreshNamespace()
{
    std::unique_ptr<struct if_nameindex, decltype(&if_freenameindex)> links(if_nameindex(), &if_freenameindex);
    return links && links.get()[0].if_name && std::string(links.get()[0].if_name) == "lo" && !links.get()[1].if_name;
}

// The notices the kernel dropped for this process's netlink socket (the
// first one a process binds takes its pid), from /proc/net/netlink.
unsigned long NoticesDropped()
{
    std::ifstream table("/proc/net/netlink");
    std::string line, socket;
    unsigned long protocol, pid, groups, rmem, wmem, dump, locks, drops, inode;
    std::getline(table, line);
    while (table >> socket >> protocol >> pid >> std::hex >> groups >> std::dec >> rmem >> wmem >> dump >> locks >> drops
           >> inode)
        if (protocol == NETLINK_ROUTE && pid == static_cast<unsigned long>(getpid())) return drops;
    return 0;
}

TEST(LinuxDialUpInNamespace, OnlyPppLinesAndModemsThatAreUpAndRunningCount)
{
    if (!FreshNamespace()) GTEST_SKIP() << "needs unshare -n -u as root";
    ASSERT_EQ(std::system("ip link set lo up"), 0);
    LinuxDialUp dialUp;
    TunLink tun("tun0", TunLink::Tun), tap("eth7", TunLink::Tap), down("ppp3");
    down.carrier(0);
    EXPECT_TRUE(Within10s([&] { return !down.running(); }));
    EXPECT_EQ(dialUp.activeConnections(), 0);
    TunLink line("ppp-fifteen-chr"), modem("ww0", TunLink::Tap), other("wwan1", TunLink::Tun);
    EXPECT_EQ(dialUp.activeInterfaces(), (std::vector<std::string>{"ppp-fifteen-chr", "ww0", "wwan1"}));
    line.hangUp();
    EXPECT_EQ(dialUp.activeConnections(), 2);
}

TEST(LinuxDialUpInNamespace, TheSetFollowsCarrierAndDeletionAndSurvivesLostNotices)
{
    if (!FreshNamespace()) GTEST_SKIP() << "needs unshare -n -u as root";
    using Names = std::vector<std::string>;
    LinuxDialUp dialUp;
    ASSERT_EQ(dialUp.activeConnections(), 0);
    TunLink ppp("ppp0"), plain("tun0", TunLink::Tun), modem("ww0", TunLink::Tap);  // tun0: up and running, but no PPP link
    const auto shows = [&](const Names& names) { return Within10s([&] { return dialUp.activeInterfaces() == names; }); };
    EXPECT_TRUE(shows({"ppp0", "ww0"}));
    ppp.carrier(0);
    EXPECT_TRUE(shows({"ww0"}));
    ppp.carrier(1);
    EXPECT_TRUE(shows({"ppp0", "ww0"}));

    // Gone between two probes of one tick: the later one knows.
    EXPECT_EQ(dialUp.activeConnections(), 2);
    modem.hangUp();
    EXPECT_EQ(dialUp.activeConnections(), 1);

    // More notices than the socket holds while nobody reads: the kernel
    // drops every one after, until the queue is read empty. A carrier lost
    // then is known only from a fresh list of the links.
    for (int i = 0; i < 100000 && NoticesDropped() == 0; ++i) plain.mtu(1200 + i % 200);
    ASSERT_GT(NoticesDropped(), 0u);
    ppp.carrier(0);
    EXPECT_TRUE(Within10s([&] { return !ppp.running(); }));
    plain.mtu(1000);  // waits for the link watch's lock, so its notice has gone out too
    EXPECT_TRUE(shows({}));
}

TEST(LinuxDialUpInNamespace, WatchedAnswersChangeWithTheNoticesTheWaitTakesIn)
{
    if (!FreshNamespace()) GTEST_SKIP() << "needs unshare -n -u as root";
    ASSERT_EQ(sethostname("PC01", 4), 0);
    LinuxDialUp dialUp;
    PosixHostName host;
    WorkerWait wait({&dialUp, &host});
    ASSERT_EQ(dialUp.activeConnections(), 0);
    wait.sleep(std::chrono::steady_clock::now());  // from here on, both are watched
    ASSERT_EQ(host.localHostName(), "PC01");
    TunLink ppp("ppp0");
    ASSERT_EQ(sethostname("PC02", 4), 0);
    // Kept until a sleep takes the notices in.
    EXPECT_EQ(dialUp.activeConnections(), 0);
    EXPECT_EQ(host.localHostName(), "PC01");
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while ((dialUp.activeConnections() != 1 || host.localHostName() != "PC02") && std::chrono::steady_clock::now() < end)
        wait.sleep(std::chrono::steady_clock::now() + std::chrono::milliseconds(100));
    EXPECT_EQ(dialUp.activeConnections(), 1);
    EXPECT_EQ(host.localHostName(), "PC02");
}

}  // namespace
}  // namespace kesrow::testing
