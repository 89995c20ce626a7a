// The dialup_line program as a child process: a simulated dial-up line
// that is up from construction until hangUp() or destruction.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace kesrow::testing {

class DialUpLineProcess {
public:
    // Starts dialup_line with these arguments and waits for its "up";
    // throws when it ends without saying so (its stderr tells why).
    explicit DialUpLineProcess(const std::vector<std::string>& arguments);
    ~DialUpLineProcess();
    DialUpLineProcess(const DialUpLineProcess&) = delete;
    DialUpLineProcess& operator=(const DialUpLineProcess&) = delete;

    // Closes its stdin and waits until it has ended and the line is gone;
    // returns its exit code.
    int hangUp();

private:
    pid_t pid_ = -1;
    int input_ = -1;
};

}  // namespace kesrow::testing
