// The dialup_line program as a child process: a simulated dial-up line
// that is up from construction until hangUp() or destruction.
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
    // Starts dialup_line with these arguments and waits for its "up";
    // throws when it ends without saying so (its stderr tells why).
    explicit DialUpLineProcess(const std::vector<std::string>& arguments)
    {
        int toChild[2], fromChild[2];
        if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe");
        std::vector<char*> argv{const_cast<char*>(KESROW_DIALUP_LINE)};
        for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        std::fflush(nullptr);
        pid_ = fork();
        if (pid_ == 0) {
            dup2(toChild[0], STDIN_FILENO);
            dup2(fromChild[1], STDOUT_FILENO);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(toChild[0]);
        close(fromChild[1]);
        input_ = toChild[1];
        std::string said;
        char c;
        while (said.size() < 16 && read(fromChild[0], &c, 1) == 1 && c != '\n') said += c;
        close(fromChild[0]);
        if (said != "up")
            throw std::runtime_error("dialup_line did not bring the line up (exit code " +
                                     std::to_string(hangUp()) + ")");
    }
    ~DialUpLineProcess()
    {
        if (pid_ > 0) hangUp();
    }
    DialUpLineProcess(const DialUpLineProcess&) = delete;
    DialUpLineProcess& operator=(const DialUpLineProcess&) = delete;

    // Closes its stdin and waits until it has ended and the line is gone;
    // returns its exit code.
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
