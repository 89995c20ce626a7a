// The services the line monitor and the menu take from the outside world.
// Each is small enough to implement with plain Win32 calls as well as with
// Qt, a console, or a scripted fake. All text is UTF-8; all calls come from
// the one user-interface thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kesrow {

// Message box styles and answers, numbered as the Windows message box does.
enum MsgBoxStyle : int { vbOKOnly = 0, vbOKCancel = 1, vbExclamation = 48 };
constexpr int vbOK = 1;

// The notification-area icon (IconTray1) and its two-image list (ImageList1).
class TrayIcon {
public:
    virtual ~TrayIcon() = default;
    virtual std::int32_t imageListHandle() = 0;
    virtual void setImageList(std::int32_t handle) = 0;
    // image: 1 = the program's picture, 2 = the prohibition sign
    virtual void add(std::int32_t id, std::int16_t image, const std::string& tooltip) = 0;
    // Removing an icon that is not shown is harmless.
    virtual void remove(std::int32_t id) = 0;
};

// This computer's name as the other copies see it in the status file.
class HostNameSource {
public:
    virtual ~HostNameSource() = default;
    virtual std::string localHostName() = 0;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Modal. Returns vbOK (1) for OK, anything else otherwise.
    virtual int messageBox(const std::string& prompt, int style, const std::string& title) = 0;
    // Modal. The text in the box after OK; empty after Cancel.
    virtual std::string inputBox(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText) = 0;
    virtual void beep() = 0;
};

// Timer1. The platform delivers its ticks to kesrow::Timer1_Timer.
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

class Process {
public:
    virtual ~Process() = default;
    // True when another copy already runs for this user on this computer.
    virtual bool previousInstance() = 0;
    virtual std::string currentDirectory() = 0;
    // The main form has been unloaded and no form is left: leave the event loop.
    virtual void formUnloaded() = 0;
    // Stop at once; no further events run. A fake may return.
    virtual void end() = 0;
};

// One RASCONN record in its 412-byte ANSI layout.
struct RasConnA {
    std::uint32_t dwSize;
    std::uint32_t hrasconn;
    char szEntryName[257];
    char szDeviceType[17];
    char szDeviceName[129];
    char spare;
};
static_assert(sizeof(RasConnA) == 412, "RASCONN layout");

// The remote access service's list of active dial-up connections.
class DialUpConnections {
public:
    virtual ~DialUpConnections() = default;
    // Fills as many records as bufferSize allows, writes the number of
    // active connections into count and returns a status (0 = success).
    virtual std::uint32_t RasEnumConnectionsA(RasConnA* connections, std::uint32_t* bufferSize,
                                              std::uint32_t* count) = 0;
};

// The registry reads of the About box, in the shape of advapi32.
class Registry {
public:
    virtual ~Registry() = default;
    virtual long RegOpenKeyExA(std::uint32_t rootKey, const std::string& subKey, std::uint32_t options,
                               std::uint32_t access, std::uint32_t* key) = 0;
    // buffer.size() bytes are offered; size holds that on entry and the data length after.
    virtual long RegQueryValueExA(std::uint32_t key, const std::string& valueName, std::uint32_t* type,
                                  std::vector<unsigned char>& buffer, std::uint32_t* size) = 0;
    virtual long RegCloseKey(std::uint32_t key) = 0;
};

class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    // The file's name when an ordinary file of that full name exists, else "".
    virtual std::string findFile(const std::string& fullName) = 0;
    // Starts the program with a window style (1: normal with focus); throws when it cannot.
    virtual void start(const std::string& path, int windowStyle) = 0;
};

// The popup menu and the two modal forms of the tray menu.
class Forms {
public:
    virtual ~Forms() = default;
    // Shows the items as a popup at (x, y), defaultItem drawn bold.
    // Returns the index chosen, or -1 when the popup was dismissed.
    virtual int popupMenu(const std::vector<std::string>& items, int defaultItem, float x, float y) = 0;
    // logtimes: shows the text read-only until OK, Enter, Esc or the frame closes it.
    virtual void showLogViewer(const std::string& text) = 0;
    // frmAbout: modal; its system information button calls onSysInfo.
    virtual void showAbout(const std::function<void()>& onSysInfo) = 0;
};

// Everything one copy of the program runs against.
struct Platform {
    TrayIcon& tray;
    HostNameSource& host;
    Dialogs& dialogs;
    PollTimer& timer;
    Clock& clock;
    Process& process;
    DialUpConnections& dialUp;
};

}  // namespace kesrow
