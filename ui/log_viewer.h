// logtimes: the connection log viewer's content.
#pragma once

#include <cstddef>
#include <string>

#include "core/platform.h"

namespace kesrow {

// The most of the log the viewer reads: a larger log shows its last part.
inline constexpr std::size_t kLogViewLimit = 16 * 1024 * 1024;

// The log as the viewer shows it: CR LF before each field, none after the
// last; "" for an empty log. Of a log larger than kLogViewLimit only the last
// whole lines within it, after a line saying how much was left out. Throws
// FileError when the log cannot be read.
std::string LogViewerText(const std::string& logFile);

class logtimes {
public:
    logtimes(std::string logFile, Dialogs& dialogs);

    // Fills Text1 from the log, on the share worker; a missing log leaves
    // it empty.
    void ReadLog();
    // On the user-interface thread: a log that could not be read is reported
    // in a box and gives false, so the program goes on without the viewer.
    bool ReportRead();
    const std::string& Text1() const { return text1_; }

private:
    std::string logFile_;
    Dialogs& dialogs_;
    std::string text1_;
    std::string failure_;
};

}  // namespace kesrow
