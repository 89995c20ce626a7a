// --status, --report and --release: the shared files for an admin or a
// script. They take no instance lock and need no display, so they work
// beside a running copy and in the headless build; only --release writes.
#pragma once

#include <optional>

#include "core/log_report.h"

namespace kesrow {

enum StatusExit { kLineFree = 0, kLineHeld = 1, kHolderGone = 2, kStatusUnreadable = 3 };
enum ReleaseExit { kReleased = 0, kRefused = 1 };

// Who holds the line, since when and for how long, and every copy present.
int RunStatus();
// Frees a line whose holder is gone (or any, with force), after the user
// confirmed it on the terminal or gave yes.
int RunRelease(bool yes, bool force);
// The month's totals per computer (default: this month) from the log and
// the files its rotation left, aligned or as CSV;
// 0, or kStatusUnreadable when the server path or the log cannot be read.
int RunReport(std::optional<YearMonth> month, bool csv);

}  // namespace kesrow
