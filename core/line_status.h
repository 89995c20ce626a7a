// Who holds the line now, and since when, for `kesrow --status`.
#pragma once

#include <optional>
#include <string>

#include "platform/platform.h"

namespace kesrow {

struct LineStatus {
    std::string holder;  // "OK" when the line is free
    // The holder's last connect line near the log's end (LastConnect);
    // unknown without a log or such a line.
    std::optional<LocalDateTime> since;
    bool free() const;
};

// Reads the status file and, when a computer holds the line, the log. Throws
// FileError when the status cannot be read, an empty status file included
// (it is empty only for a moment while a copy rewrites it).
LineStatus ReadLineStatus(const std::string& serverPath);

// The tooltip's sentence, then since when and for how long, one line each.
std::string LineStatusText(const LineStatus& status, const LocalDateTime& now);

}  // namespace kesrow
