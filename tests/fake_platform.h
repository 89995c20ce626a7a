// A platform that records every call in order, as one line each, and
// answers from a script. Unscripted questions get harmless defaults.
#pragma once

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace kesrow::testing {

class FakePlatform : public TrayIcon,
                     public HostNameSource,
                     public Dialogs,
                     public PollTimer,
                     public Clock,
                     public Process,
                     public DialUpConnections {
public:
    // Recorded calls, e.g. "tray.add 1 2 <tooltip>", "msgbox 48 <title> | <prompt>".
    std::vector<std::string> calls;

    // Scripts; each answer is used once, then the default applies.
    std::deque<int> messageAnswers;           // default vbOK
    std::deque<std::string> inputAnswers;     // default "" (Cancel)
    std::deque<std::uint32_t> dialUpCounts;   // default dialUpCount
    std::deque<std::string> hostNames;        // default hostName
    std::uint32_t dialUpCount = 0;
    std::string entryName = "ppp0";
    std::string hostName = "PC01";
    bool otherCopyRunning = false;
    std::string cwd = "/tmp";
    LocalDateTime time{1998, 9, 3, 10, 15, 0};

    // Called with each recorded line; may throw to make that call fail.
    std::function<void(const std::string&)> onCall;

    Platform platform{*this, *this, *this, *this, *this, *this, *this};

    // TrayIcon
    std::int32_t imageListHandle() override { record("tray.imageListHandle"); return 4711; }
    void setImageList(std::int32_t h) override { record("tray.setImageList " + std::to_string(h)); }
    void add(std::int32_t id, std::int16_t image, const std::string& tip) override {
        record("tray.add " + std::to_string(id) + " " + std::to_string(image) + " " + tip);
    }
    void remove(std::int32_t id) override { record("tray.remove " + std::to_string(id)); }

    // HostNameSource
    std::string localHostName() override {
        record("host");
        return next(hostNames, hostName);
    }

    // Dialogs
    int messageBox(const std::string& prompt, int style, const std::string& title) override {
        record("msgbox " + std::to_string(style) + " " + title + " | " + prompt);
        return next(messageAnswers, int(vbOK));
    }
    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& def) override {
        record("input " + title + " [" + def + "] | " + prompt);
        return next(inputAnswers, std::string());
    }
    void beep() override { record("beep"); }

    // PollTimer
    void setEnabled(bool on) override { record(on ? "timer on" : "timer off"); }

    // Clock
    LocalDateTime now() override { record("now"); return time; }

    // Process
    bool previousInstance() override { record("previousInstance"); return otherCopyRunning; }
    std::string currentDirectory() override { record("curdir"); return cwd; }
    void formUnloaded() override { record("formUnloaded"); }
    void end() override { record("end"); }

    // DialUpConnections
    std::uint32_t RasEnumConnectionsA(RasConnA* conns, std::uint32_t* size, std::uint32_t* count) override {
        record("probe");
        *count = next(dialUpCounts, dialUpCount);
        if (*count > 0 && *size >= sizeof(RasConnA))
            std::memcpy(conns[0].szEntryName, entryName.data(),
                        std::min(entryName.size(), sizeof conns[0].szEntryName));
        return *count > 1 ? 603u : 0u;  // ERROR_BUFFER_TOO_SMALL when more than fit
    }

    // The calls whose line starts with prefix.
    std::vector<std::string> callsStartingWith(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const auto& c : calls)
            if (c.rfind(prefix, 0) == 0) out.push_back(c);
        return out;
    }

private:
    void record(const std::string& line) {
        calls.push_back(line);
        if (onCall) onCall(line);
    }
    template <class T>
    static T next(std::deque<T>& script, T fallback) {
        if (script.empty()) return fallback;
        T v = script.front();
        script.pop_front();
        return v;
    }
};

}  // namespace kesrow::testing
