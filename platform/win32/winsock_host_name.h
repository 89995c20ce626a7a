// Winsock1: this computer's name from Winsock's gethostname, the name the
// socket component gave and the other computers' copies compare with.
#pragma once

#include "core/platform.h"

namespace kesrow::win32 {

class WinsockHostName : public HostNameSource {
public:
    WinsockHostName();
    ~WinsockHostName() override;
    WinsockHostName(const WinsockHostName&) = delete;
    WinsockHostName& operator=(const WinsockHostName&) = delete;

    // Throws std::system_error when Winsock cannot answer.
    std::string localHostName() override;

private:
    bool started_ = false;
};

}  // namespace kesrow::win32
