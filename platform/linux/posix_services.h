// The services every Linux front end shares; the Qt and console front ends
// add only their tray, boxes, forms and loop.
#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <exception>
#include <map>
#include <string>
#include <vector>

#include "core/platform.h"

namespace kesrow {

// gethostname(): the name this computer's copies write into the status
// file. Once the share worker watches /proc/sys/kernel/hostname, which
// tells each change of the name, the name is asked again only after one.
class PosixHostName : public HostNameSource {
public:
    PosixHostName() = default;
    ~PosixHostName() override;
    PosixHostName(const PosixHostName&) = delete;
    PosixHostName& operator=(const PosixHostName&) = delete;

    std::string localHostName() override;
    int noticeHandle() override;
    Events noticeEvents() override { return Events::Priority; }
    void takeNotices() override { changed_ = true; }

private:
    int changes_ = -1;
    bool watchTried_ = false;
    bool changed_ = true;
    std::string name_;
};

// localtime_r() of the current time.
class LocalClock : public Clock {
public:
    LocalDateTime now() override;
};

// Dial-up connections are the network interfaces that are up and running
// and are PPP links (ARPHRD_PPP) or mobile-broadband modems ("ww..."), in
// the network namespace the process is in at the first question. A routing
// socket hears of every link change from the kernel, and the answer comes
// from the set kept so. Unwatched, each question reads what has come since
// the last one, without waiting; once the share worker watches the socket,
// it hands the notices over as they come, and a question costs nothing.
// Throws std::system_error when the kernel cannot be asked.
class LinuxDialUp : public DialUp {
public:
    LinuxDialUp() = default;
    ~LinuxDialUp() override;
    LinuxDialUp(const LinuxDialUp&) = delete;
    LinuxDialUp& operator=(const LinuxDialUp&) = delete;

    int activeConnections() override;
    // Their names, by interface index.
    std::vector<std::string> activeInterfaces();
    int noticeHandle() override;
    void takeNotices() override;

private:
    void subscribe();
    void askForEveryLink();
    void readPending();
    void apply(const char* message, std::size_t length);

    int socket_ = -1;
    bool watched_ = false;  // the share worker hands the notices over
    std::exception_ptr failure_;  // of a hand-over, for the next question
    bool listing_ = false;  // a list of every link is still coming in
    std::map<int, std::string> active_;
    std::vector<char> buffer_;
};

// One copy per user and computer: flock() on lock files on local disk and
// in the home, held while the object lives (the kernel drops them when a
// copy dies).
class InstanceLock {
public:
    // paths: the lock files; by default InstanceLockPaths(), found on first use.
    explicit InstanceLock(std::vector<std::string> paths = {});
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    // False when another copy holds a lock; throws std::system_error when a
    // lock file cannot be opened.
    bool Acquire();

private:
    std::vector<std::string> paths_;
    std::vector<int> fds_;
};

// Where only this user can write, chosen by the user id and the host name
// and never by the environment, so every copy of the user on this computer
// finds the same locks and no other user can take them first:
// <runtimeRoot>/<uid>/kesrow.lock when that folder is the user's own with
// mode 0700, and ~/.cache/kesrow/<hostName>.lock (the home from the user
// database; the folder made 0700) when the home is the user's. Throws
// std::system_error when neither can be used.
std::vector<std::string> InstanceLockPaths(uid_t uid, const std::string& runtimeRoot, const std::string& hostName);
// Throws std::system_error when getcwd() fails.
std::string CurrentDirectory();

// The command line's own lines are Japanese when the locale that messages
// follow (LC_ALL, else LC_MESSAGES, else LANG: the first one set) begins
// with "ja", whether or not the system has that locale installed.
bool UserReadsJapanese();

// <sysconfdir>/kesrow of the prefix the running program is installed in:
// /etc/kesrow for /usr/bin/kesrow, <prefix>/etc/kesrow otherwise; the
// configured one when the program runs from its build folder.
std::string ComputerSettingsDirectory();

class PosixProcess : public Process {
public:
    // lockPaths: the instance lock files; by default InstanceLockPaths().
    explicit PosixProcess(std::vector<std::string> lockPaths = {}) : lock_(std::move(lockPaths)) {}
    bool previousInstance() override { return !lock_.Acquire(); }
    std::string currentDirectory() override { return CurrentDirectory(); }
    std::string computerSettingsDirectory() override { return ComputerSettingsDirectory(); }
    // Flushes stdout and stderr and ends the process with status, or
    // exitStatus when status is 0.
    [[noreturn]] void end(int status = 0) override;
    int exitStatus = 0;

private:
    InstanceLock lock_;
};

// The first of the desktop's system information programs found on the
// search path, started directly, without a shell.
class PosixSystemInfoTool : public SystemInfoTool {
public:
    // searchPath: a PATH-style list; tools: program names, best first.
    PosixSystemInfoTool();
    PosixSystemInfoTool(std::string searchPath, std::vector<std::string> tools);

    std::string find() override;
    // In a session of its own; throws std::system_error when it cannot start.
    void start(const std::string& path) override;

private:
    std::string searchPath_;
    std::vector<std::string> tools_;
};

// The shared services, assembled once; a front end adds its own four.
struct PosixServices {
    PosixHostName host;
    LocalClock clock;
    LinuxDialUp dialUp;
    PosixProcess process;
    PosixSystemInfoTool sysInfo;

    FrontEndServices frontEnd(TrayIcon& tray, Dialogs& dialogs, UiThread& uiThread, Forms& forms)
    {
        return {tray, host, dialogs, clock, process, dialUp, uiThread, forms, sysInfo};
    }
};

}  // namespace kesrow
