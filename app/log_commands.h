// --status and --report: answers from the shared files for an admin or a
// script. They read only, take no instance lock and need no display, so
// they work beside a running copy and in the headless build.
#pragma once

#include <optional>

#include "core/log_report.h"

namespace kesrow {

enum StatusExit { kLineFree = 0, kLineHeld = 1, kStatusUnreadable = 3 };

// Who holds the line, since when and for how long.
int RunStatus();
// The month's totals per computer (default: this month) from the log and
// the files its rotation left, aligned or as CSV;
// 0, or kStatusUnreadable when the server path or the log cannot be read.
int RunReport(std::optional<YearMonth> month, bool csv);

}  // namespace kesrow
