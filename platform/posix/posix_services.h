// POSIX pieces that every Linux front end shares.
#pragma once

#include <string>

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
class LinuxDialUp : public DialUpConnections {
public:
    std::uint32_t RasEnumConnectionsA(RasConnA* connections, std::uint32_t* bufferSize,
                                      std::uint32_t* count) override;
};

// One copy per user and computer: an flock() on a lock file on local disk,
// held until the process ends (the kernel drops it when a copy dies).
class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    // False when another copy holds the lock.
    bool Acquire();

private:
    int fd_ = -1;
};

std::string CurrentDirectory();

}  // namespace kesrow
