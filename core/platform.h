// What the line monitor and the menu need from the outside world, asked in
// the program's own words. Each front end (Qt, console, Win32, the tests'
// fake) answers them its own way. All text is UTF-8. Every call comes from
// the one user-interface thread, except that the share worker asks the
// host name, the clock and the dial-up probe (and takes in the notices of
// the first and last), and posts to UiThread.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kesrow {

// The pictures of the tray icon, numbered as the console copy prints them.
enum class TrayImage : int {
    Normal = 1,       // the program's picture: the line is free
    Prohibition = 2,  // the prohibition sign: a computer holds the line
    Unknown = 3,      // the normal picture greyed, with a question mark: the share does not answer
};

// The program's one notification-area icon.
class TrayIcon {
public:
    virtual ~TrayIcon() = default;
    // Shows the icon, or changes the picture and tooltip of the one shown in
    // one step, so that it keeps its place in the notification area.
    virtual void show(TrayImage image, const std::string& tooltip) = 0;
    // Hiding an icon that is not shown is harmless.
    virtual void hide() = 0;
    // A short notice beside the icon that goes by itself (a balloon); it
    // asks nothing and never waits for the user.
    virtual void showNotice(const std::string& title, const std::string& text) = 0;
};

// A service that may keep its answers between questions: the share worker
// sleeps on its notices and hands them over before its next question, so
// that an answer kept is as fresh as one asked at the start of a tick.
class Notices {
public:
    enum class Events { Readable, Priority };
    virtual ~Notices() = default;
    // What the worker's sleep watches (a descriptor, where the system has
    // them); -1 while there is none: each question then asks afresh.
    virtual int noticeHandle() { return -1; }
    virtual Events noticeEvents() { return Events::Readable; }
    // The handle is ready: take in what it tells, without waiting. A
    // failure is kept for the next question.
    virtual void takeNotices() {}
};

// This computer's name as the other copies see it in the status file.
class HostNameSource : public Notices {
public:
    virtual ~HostNameSource() = default;
    virtual std::string localHostName() = 0;
};

enum class BoxStyle {
    OkOnly,       // one OK button, no icon
    OkCancel,     // OK and Cancel, no icon
    Exclamation,  // one OK button with the exclamation icon
};

enum class Answer { Ok, Cancel };

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Modal. Closing the box any way but OK answers Cancel.
    virtual Answer messageBox(const std::string& prompt, BoxStyle style, const std::string& title) = 0;
    // Modal, one OK button: the warning to a user who dials while another
    // computer holds the line. Returns when the user has closed it.
    virtual void violationWarning(const std::string& prompt, const std::string& title) = 0;
    // Modal. The text in the box after OK; empty after Cancel.
    virtual std::string inputBox(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText) = 0;
    virtual void beep() = 0;
};

// Timer1: while enabled, MainForm::Timer1_Timer runs every 100 ms (the tray
// program paces it on the main form's share worker; no front end answers it).
class PollTimer {
public:
    virtual ~PollTimer() = default;
    virtual void setEnabled(bool enabled) = 0;
};

struct LocalDateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime now() = 0;
};

inline constexpr int kFailed = 1;

class Process {
public:
    virtual ~Process() = default;
    // True when another copy already runs for this user on this computer.
    virtual bool previousInstance() = 0;
    virtual std::string currentDirectory() = 0;
    // The folder of this computer's own settings, the same for every user
    // (/etc/kesrow for a program in /usr/bin); "" when there is none.
    virtual std::string computerSettingsDirectory() = 0;
    // Stop at once with exitStatus (kFailed: the program could not do its
    // work, so that a service manager may start it again); no further events
    // run. A fake may return.
    virtual void end(int exitStatus = 0) = 0;
};

class DialUp : public Notices {
public:
    virtual ~DialUp() = default;
    // How many dial-up connections of this computer are up right now, as
    // fresh as the notices taken in. Throws when the system cannot be asked.
    virtual int activeConnections() = 0;
};

// Where the system information tool is, and starting it.
class SystemInfoTool {
public:
    virtual ~SystemInfoTool() = default;
    // The tool's full path, or "" when this computer has none.
    virtual std::string find() = 0;
    // Starts it with a normal window and without a shell, and does not wait
    // for it. Throws when it cannot be started.
    virtual void start(const std::string& path) = 0;
};

// The popup menu and the two modal forms of the tray menu.
class Forms {
public:
    virtual ~Forms() = default;
    // Shows the items as a popup at the pointer, defaultItem drawn bold.
    // Returns the index chosen, or -1 when the popup was dismissed.
    virtual int popupMenu(const std::vector<std::string>& items, int defaultItem) = 0;
    // logtimes: shows the text read-only until OK, Enter, Esc or the frame closes it.
    virtual void showLogViewer(const std::string& text) = 0;
    // frmAbout: modal; its system information button calls onSysInfo.
    virtual void showAbout(const std::function<void()>& onSysInfo) = 0;
};

// The user-interface thread's queue, through which the share worker hands
// its results back.
class UiThread {
public:
    virtual ~UiThread() = default;
    // Runs task on the user-interface thread soon, after the tasks posted
    // before it, and also inside the loops of modal boxes. Any thread may call it.
    virtual void post(std::function<void()> task) = 0;
};

// Everything the main form runs against.
struct Platform {
    TrayIcon& tray;
    HostNameSource& host;
    Dialogs& dialogs;
    PollTimer& timer;
    Clock& clock;
    Process& process;
    DialUp& dialUp;
    UiThread& uiThread;
};

// What the tray menu needs besides the main form's platform.
struct UiServices {
    Forms& forms;
    SystemInfoTool& sysInfo;
};

// What a front end answers: everything the main form and the tray menu ask
// but Timer1.
struct FrontEndServices {
    TrayIcon& tray;
    HostNameSource& host;
    Dialogs& dialogs;
    Clock& clock;
    Process& process;
    DialUp& dialUp;
    UiThread& uiThread;
    Forms& forms;
    SystemInfoTool& sysInfo;
};

}  // namespace kesrow
