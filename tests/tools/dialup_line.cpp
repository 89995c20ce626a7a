// A simulated dial-up line for tests: a tun device that the kernel reports
// as a PPP link, up, with carrier while this program holds it open.
//   dialup_line [--kind ppp|tun|tap] [--no-carrier] <ifname>
// Prints "up" once the kernel shows the link in the requested state, then
// holds it until stdin ends or SIGTERM/SIGINT/SIGHUP. Needs CAP_NET_ADMIN
// (unshare -n). A tap is Ethernet-type, like a mobile-broadband "ww0";
// --no-carrier is up with the modem hung up.
#include <fcntl.h>
#include <linux/if_tun.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {

std::string kind = "ppp", name;
bool carrier = true;

void Check(bool ok, const std::string& what)
{
    if (!ok) throw std::runtime_error(what + ": " + std::strerror(errno));
}

ifreq Request(short flags = 0)
{
    ifreq request{};
    name.copy(request.ifr_name, IFNAMSIZ - 1);
    request.ifr_flags = flags;
    return request;
}

int OpenTun()  // creates the device on the first open
{
    const int fd = open("/dev/net/tun", O_RDWR | O_CLOEXEC);
    ifreq request = Request(short((kind == "tap" ? IFF_TAP : IFF_TUN) | IFF_NO_PI));
    Check(fd >= 0 && ioctl(fd, TUNSETIFF, &request) == 0, "tun " + name);
    return fd;
}

short Flags(int control)
{
    ifreq request = Request();
    Check(ioctl(control, SIOCGIFFLAGS, &request) == 0, "SIOCGIFFLAGS");
    return request.ifr_flags;
}

int Run()
{
    struct sigaction stop {};
    stop.sa_handler = [](int) {};  // interrupts the read below
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &stop, nullptr);
    const int control = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    int tun = OpenTun();
    // The link type can only change while the device is down.
    Check(kind != "ppp" || ioctl(tun, TUNSETLINK, ARPHRD_PPP) == 0, "TUNSETLINK");
    if (!carrier) {  // a persistent device outlives its fd and loses carrier with it
        Check(ioctl(tun, TUNSETPERSIST, 1) == 0, "TUNSETPERSIST");
        close(tun);
    }
    ifreq up = Request(short(Flags(control) | IFF_UP));
    Check(ioctl(control, SIOCSIFFLAGS, &up) == 0, "SIOCSIFFLAGS");
    // The kernel reports carrier through a deferred link watch: up to 10 s.
    for (int ms = 0; ((Flags(control) & IFF_RUNNING) != 0) != carrier; ms += 10)
        Check(ms < 10000 && usleep(10000) == 0, "no link state");
    std::puts("up");
    std::fflush(stdout);
    for (char scratch[256]; read(STDIN_FILENO, scratch, sizeof scratch) > 0;) {
    }
    if (!carrier) ioctl(tun = OpenTun(), TUNSETPERSIST, 0);
    close(tun);  // the last fd of a non-persistent device removes it
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--kind" && i + 1 < argc) kind = argv[++i];
        else if (arg == "--no-carrier") carrier = false;
        else name = arg;
    }
    try {
        if (name.empty() || name.size() >= IFNAMSIZ || (kind != "ppp" && kind != "tun" && kind != "tap"))
            throw std::invalid_argument("usage: dialup_line [--kind ppp|tun|tap] [--no-carrier] <ifname>");
        return Run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "dialup_line: %s\n", e.what());
        return 1;
    }
}
