// POSIX pieces that every Linux front end shares.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace kesrow {

// gethostname(): the name this computer's copies write into the status file.
class PosixHostName : public HostNameSource {
public:
    std::string localHostName() override;
};

// localtime_r() of the current time.
class LocalClock : public Clock {
public:
    LocalDateTime now() override;
};

// Dial-up connections are the network interfaces that are up and running
// and are PPP links (ARPHRD_PPP) or mobile-broadband modems ("ww..."),
// asked afresh from the kernel of this process's network namespace.
// Throws std::system_error when the kernel cannot be asked.
class LinuxDialUp : public DialUpConnections {
public:
    LinuxDialUp() = default;
    ~LinuxDialUp() override;
    LinuxDialUp(const LinuxDialUp&) = delete;
    LinuxDialUp& operator=(const LinuxDialUp&) = delete;

    // Fills the entry names of as many records as *bufferSize holds; returns
    // 603 (buffer too small, *bufferSize set to the size needed) when more
    // connections are up than fit, else 0.
    std::uint32_t RasEnumConnectionsA(RasConnA* connections, std::uint32_t* bufferSize,
                                      std::uint32_t* count) override;

private:
    std::vector<std::string> activeInterfaces();
    bool isUpAndRunning(const std::string& name);
    bool isPointToPointProtocol(const std::string& name);

    // Opened on first use and kept: they belong to the network namespace the
    // process is in then, and the answers are read through them afresh.
    int socket_ = -1;
    int interfaceList_ = -1;
    std::string listText_;
};

// One copy per user and computer: an flock() on a lock file on local disk,
// held while the object lives (the kernel drops it when a copy dies).
class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    // False when another copy holds the lock; throws std::system_error when
    // the lock file cannot be opened.
    bool Acquire();

private:
    int fd_ = -1;
};

// $XDG_RUNTIME_DIR/kesrow.lock when that is a directory, else
// /tmp/kesrow-<uid>.lock.
std::string InstanceLockPath();

// Throws std::system_error when getcwd() fails.
std::string CurrentDirectory();

}  // namespace kesrow
