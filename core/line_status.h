// Who holds the line now, since when, and which copies are present, for
// `kesrow --status`; freeing a stuck line for `kesrow --release`.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "core/presence.h"
#include "core/platform.h"

namespace kesrow {

struct LineStatus {
    std::string holder;  // "OK" when the line is free
    // The holder's last connect line near the log's end (LastConnect);
    // unknown without a log or such a line.
    std::optional<LocalDateTime> since;
    std::vector<Presence> presences;  // by host name
    std::optional<Presence> holderPresence;
    // The holder's presence is older by goneAfter than the newest write
    // seen in the folder (another presence or the status file).
    bool holderGone = false;
    bool free() const;
};

// Reads the status file, the presences and, when a computer holds the
// line, the log. Throws FileError when the status cannot be read, an empty
// status file included (it is empty only for a moment while a copy rewrites it).
LineStatus ReadLineStatus(const std::string& serverPath, std::chrono::milliseconds goneAfter);

// A status value as a terminal shows it: in double quotes when it names no
// real computer (blanks around it, an invisible or unreadable character,
// "ok" in another case), so that such a value is seen for what it is.
std::string ShownName(const std::string& value);

// The tooltip's sentence, since when and for how long, then one line per
// present copy: host, what it does, when it last wrote its presence.
std::string LineStatusText(const LineStatus& status, const LocalDateTime& now);

// Frees the line holder holds: its disconnect marked as released on
// computer by, then "OK" in the status. Returns the log line written.
std::string ReleaseLine(const std::string& serverPath, const std::string& holder, const std::string& by,
                        const LocalDateTime& now);

}  // namespace kesrow
