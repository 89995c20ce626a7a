#include "dialup_line_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace kesrow::testing {

namespace {

std::runtime_error Failure(const std::string& what)
{
    return std::runtime_error(what + ": " + std::strerror(errno));
}

int Wait(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

DialUpLineProcess::DialUpLineProcess(const std::vector<std::string>& arguments)
{
    int toChild[2], fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0)
        throw Failure("pipe");
    std::vector<char*> argv{const_cast<char*>(KESROW_DIALUP_LINE)};
    for (const auto& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::fflush(nullptr);
    pid_ = fork();
    if (pid_ < 0)
        throw Failure("fork");
    if (pid_ == 0) {
        dup2(toChild[0], STDIN_FILENO);
        dup2(fromChild[1], STDOUT_FILENO);
        execv(argv[0], argv.data());
        std::fprintf(stderr, "exec %s: %s\n", argv[0], std::strerror(errno));
        _exit(127);
    }
    close(toChild[0]);
    close(fromChild[1]);
    input_ = toChild[1];

    std::string said;
    char c;
    while (said.size() < 16 && read(fromChild[0], &c, 1) == 1 && c != '\n')
        said += c;
    close(fromChild[0]);
    if (said != "up") {
        const int code = hangUp();
        throw std::runtime_error("dialup_line did not bring the line up (exit code " +
                                 std::to_string(code) + ")");
    }
}

DialUpLineProcess::~DialUpLineProcess()
{
    if (pid_ > 0)
        hangUp();
}

int DialUpLineProcess::hangUp()
{
    if (input_ >= 0)
        close(input_);
    input_ = -1;
    const int code = Wait(pid_);
    pid_ = -1;
    return code;
}

}  // namespace kesrow::testing
