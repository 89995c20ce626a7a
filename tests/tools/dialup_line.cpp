// Simulates a dial-up line for tests: a tun device that the kernel reports
// as a PPP link, up, with carrier while this program holds it open.
//
//   dialup_line [--kind ppp|tun|tap] [--no-carrier] <ifname>
//
// Prints "up" once the kernel shows the link in the requested state, then
// holds it until stdin ends or SIGTERM/SIGINT/SIGHUP arrives; the device
// goes with the program. Needs CAP_NET_ADMIN: run it under unshare -n.
// A plain tun has no PPP link type; a tap is Ethernet-type, e.g. a
// mobile-broadband "ww0"; --no-carrier is up with the modem hung up.
#include <fcntl.h>
#include <linux/if_tun.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

volatile sig_atomic_t stopRequested = 0;

void RequestStop(int) { stopRequested = 1; }

struct Options {
    std::string kind = "ppp";
    bool carrier = true;
    std::string name;
};

std::runtime_error SystemFailure(const std::string& what)
{
    return std::runtime_error(what + ": " + std::strerror(errno));
}

ifreq Request(const std::string& name)
{
    ifreq request{};
    name.copy(request.ifr_name, IFNAMSIZ - 1);
    return request;
}

// Opens the device, creating it on the first open; returns the queue fd.
int OpenTun(const Options& options)
{
    const int fd = open("/dev/net/tun", O_RDWR | O_CLOEXEC);
    if (fd < 0)
        throw SystemFailure("/dev/net/tun");
    ifreq request = Request(options.name);
    request.ifr_flags = static_cast<short>((options.kind == "tap" ? IFF_TAP : IFF_TUN) | IFF_NO_PI);
    if (ioctl(fd, TUNSETIFF, &request) != 0)
        throw SystemFailure("TUNSETIFF " + options.name);
    return fd;
}

short Flags(int control, const std::string& name)
{
    ifreq request = Request(name);
    if (ioctl(control, SIOCGIFFLAGS, &request) != 0)
        throw SystemFailure("SIOCGIFFLAGS " + name);
    return request.ifr_flags;
}

void BringUp(int control, const std::string& name)
{
    ifreq request = Request(name);
    request.ifr_flags = static_cast<short>(Flags(control, name) | IFF_UP);
    if (ioctl(control, SIOCSIFFLAGS, &request) != 0)
        throw SystemFailure("SIOCSIFFLAGS " + name);
}

// The kernel reports a lost carrier through a deferred link watch, so the
// running flag can lag behind the device by up to a second.
void AwaitRunning(int control, const std::string& name, bool running)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (((Flags(control, name) & IFF_RUNNING) != 0) != running) {
        if (std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error(name + ": the kernel did not report the link state");
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// Until stdin ends or a stop signal interrupts the wait.
void HoldUntilStopped()
{
    char scratch[256];
    while (!stopRequested && read(STDIN_FILENO, scratch, sizeof scratch) > 0) {
    }
}

Options Parse(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--kind" && i + 1 < argc)
            options.kind = argv[++i];
        else if (arg == "--no-carrier")
            options.carrier = false;
        else if (options.name.empty() && arg[0] != '-')
            options.name = arg;
        else
            throw std::invalid_argument("unknown argument " + arg);
    }
    if (options.name.empty() || options.name.size() >= IFNAMSIZ)
        throw std::invalid_argument("an interface name of 1 to 15 characters is needed");
    if (options.kind != "ppp" && options.kind != "tun" && options.kind != "tap")
        throw std::invalid_argument("--kind is ppp, tun or tap");
    return options;
}

int Run(const Options& options)
{
    struct sigaction stop {};
    stop.sa_handler = RequestStop;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &stop, nullptr);

    const int control = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (control < 0)
        throw SystemFailure("socket");
    int tun = OpenTun(options);
    // The link type can only change while the device is down.
    if (options.kind == "ppp" && ioctl(tun, TUNSETLINK, ARPHRD_PPP) != 0)
        throw SystemFailure("TUNSETLINK " + options.name);
    if (!options.carrier) {
        // A persistent device outlives its fd and loses carrier with it.
        if (ioctl(tun, TUNSETPERSIST, 1) != 0)
            throw SystemFailure("TUNSETPERSIST " + options.name);
        close(tun);
        tun = -1;
    }
    BringUp(control, options.name);
    AwaitRunning(control, options.name, options.carrier);
    std::puts("up");
    std::fflush(stdout);

    HoldUntilStopped();

    if (tun < 0) {
        tun = OpenTun(options);
        ioctl(tun, TUNSETPERSIST, 0);
    }
    close(tun);  // the last fd of a non-persistent device removes it
    close(control);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        return Run(Parse(argc, argv));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "dialup_line: %s\n", e.what());
        return 1;
    }
}
