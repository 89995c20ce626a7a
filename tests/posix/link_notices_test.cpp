// The probe's view of the kernel's link notices, against real interfaces.
// CTest runs these under unshare -n, as root.
#include <fcntl.h>
#include <linux/if_tun.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "dialup_line_process.h"
#include "platform/posix/posix_services.h"

namespace kesrow {
namespace {

using testing::DialUpLineProcess;
using Names = std::vector<std::string>;

// A tun link held by the test itself, so that it can switch the carrier.
class TunLink {
public:
    TunLink(const std::string& name, bool ppp) : control_(socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0))
    {
        fd_ = open("/dev/net/tun", O_RDWR | O_CLOEXEC);
        request_ = {};
        name.copy(request_.ifr_name, IFNAMSIZ - 1);
        request_.ifr_flags = IFF_TUN | IFF_NO_PI;
        EXPECT_EQ(ioctl(fd_, TUNSETIFF, &request_), 0);
        if (ppp) {
            EXPECT_EQ(ioctl(fd_, TUNSETLINK, ARPHRD_PPP), 0);
        }
        setFlags(IFF_UP, true);
    }
    ~TunLink()
    {
        close(fd_);
        close(control_);
    }
    void setCarrier(bool on)
    {
        int value = on;
        ASSERT_EQ(ioctl(fd_, TUNSETCARRIER, &value), 0);
    }
    void setMtu(int mtu)
    {
        ifreq r = request_;
        r.ifr_mtu = mtu;
        ASSERT_EQ(ioctl(control_, SIOCSIFMTU, &r), 0);
    }
    bool running()
    {
        ifreq r = request_;
        return ioctl(control_, SIOCGIFFLAGS, &r) == 0 && (r.ifr_flags & IFF_RUNNING);
    }

private:
    void setFlags(short flags, bool on)
    {
        ifreq r = request_;
        ASSERT_EQ(ioctl(control_, SIOCGIFFLAGS, &r), 0);
        r.ifr_flags = static_cast<short>(on ? r.ifr_flags | flags : r.ifr_flags & ~flags);
        ASSERT_EQ(ioctl(control_, SIOCSIFFLAGS, &r), 0);
    }
    int control_;
    int fd_ = -1;
    ifreq request_;
};

// The kernel publishes carrier changes through a deferred link watch.
bool Eventually(const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

class LinkNoticesInNamespace : public ::testing::Test {
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

TEST_F(LinkNoticesInNamespace, TheSetFollowsCarrierUpDownAndDeletionAndSurvivesLostNotices)
{
    LinuxDialUp dialUp;
    ASSERT_EQ(dialUp.activeConnections(), 0);
    TunLink ppp("ppp0", true);
    TunLink plain("tun0", false);  // up and running, but no PPP link
    DialUpLineProcess modem({"--kind", "tap", "ww0"});
    const auto shows = [&](const Names& names) { return Eventually([&] { return dialUp.activeInterfaces() == names; }); };
    EXPECT_TRUE(shows({"ppp0", "ww0"}));

    ppp.setCarrier(false);
    EXPECT_TRUE(shows({"ww0"}));
    ppp.setCarrier(true);
    EXPECT_TRUE(shows({"ppp0", "ww0"}));

    // Gone between two probes of one tick: the later one knows.
    EXPECT_EQ(dialUp.activeConnections(), 2);
    ASSERT_EQ(modem.hangUp(), 0);
    EXPECT_EQ(dialUp.activeConnections(), 1);

    // More notices than the socket holds: the ones after are lost, and the
    // probe lists every link afresh.
    for (int i = 0; i < 3000; ++i) plain.setMtu(1200 + i % 200);
    ppp.setCarrier(false);
    ASSERT_TRUE(Eventually([&] { return !ppp.running(); }));
    EXPECT_TRUE(shows({}));
}

}  // namespace
}  // namespace kesrow
