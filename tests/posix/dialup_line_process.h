// The dialup_line program as a child process: a simulated dial-up line that
// is up from construction until hangUp() or destruction.
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
    // Waits for its "up"; throws when it ends without saying so (its stderr tells why).
    explicit DialUpLineProcess(const std::vector<std::string>& arguments)
    {
        int in[2], out[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
        std::vector<char*> argv{const_cast<char*>(KESROW_DIALUP_LINE)};
        for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        std::fflush(nullptr);
        if ((pid_ = fork()) == 0) {
            dup2(in[0], STDIN_FILENO), dup2(out[1], STDOUT_FILENO), execv(argv[0], argv.data()), _exit(127);
        }
        close(in[0]), close(out[1]);
        input_ = in[1];
        char said[3] = {};
        const bool up = read(out[0], said, 3) == 3 && std::string(said, 3) == "up\n";
        close(out[0]);
        if (!up) throw std::runtime_error("dialup_line did not bring the line up (exit code " + std::to_string(hangUp()) + ")");
    }
    ~DialUpLineProcess() { if (pid_ > 0) hangUp(); }
    DialUpLineProcess(const DialUpLineProcess&) = delete;
    DialUpLineProcess& operator=(const DialUpLineProcess&) = delete;

    // Closes its stdin, waits until it and the line are gone; returns its exit code.
    int hangUp()
    {
        close(input_);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    pid_t pid_ = -1;
    int input_ = -1;
};

}  // namespace kesrow::testing
