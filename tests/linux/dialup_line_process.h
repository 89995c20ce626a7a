// The dialup_line program as a child process: a simulated dial-up line that
// is up from construction (it has said "up") until hangUp() or destruction.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace kesrow::testing {

class DialUpLineProcess {
public:
    // Throws when it ends without saying "up" (its stderr tells why).
    explicit DialUpLineProcess(const std::vector<std::string>& arguments)
    {
        int in[2];  // its stdin, held open here until hangUp()
        if (pipe2(in, O_CLOEXEC) != 0 || fcntl(in[0], F_SETFD, 0) != 0) throw std::runtime_error("pipe");
        std::string command = "exec " KESROW_DIALUP_LINE;
        for (const auto& a : arguments) command += " " + a;
        command += " </dev/fd/" + std::to_string(in[0]);
        std::fflush(nullptr);
        out_ = popen(command.c_str(), "re");
        close(in[0]);
        input_ = in[1];
        char said[4] = {};
        if (!out_ || !std::fgets(said, sizeof said, out_) || std::string(said) != "up\n")
            throw std::runtime_error(command + ": no line (exit code " + std::to_string(hangUp()) + ")");
    }
    ~DialUpLineProcess() { if (out_) hangUp(); }
    DialUpLineProcess(const DialUpLineProcess&) = delete;
    DialUpLineProcess& operator=(const DialUpLineProcess&) = delete;

    // Closes its stdin, waits until it and the line are gone; returns its exit code.
    int hangUp()
    {
        close(input_);
        const int status = out_ ? pclose(out_) : -1;
        out_ = nullptr;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    std::FILE* out_ = nullptr;
    int input_ = -1;
};

}  // namespace kesrow::testing
