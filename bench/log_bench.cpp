// How long the log viewer takes to build its text and `kesrow --report` to
// total one month, from logs of growing size. The largest, about 50 MB, is
// beyond the viewer's limit, so only its last 16 MB are shown.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/codepage.h"
#include "core/log_report.h"
#include "core/shared_files.h"
#include "ui/log_viewer.h"

namespace {

// Forty computers taking turns over the months, a violation now and then.
std::string WriteLog(const std::filesystem::path& dir, int lines)
{
    const std::string path = (dir / ("kesrow-" + std::to_string(lines) + ".log")).string();
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < lines; ++i) {
        const int minute = i * 5;
        const kesrow::LocalDateTime t{2026, 1 + minute / (60 * 24 * 28) % 12, 1 + minute / (60 * 24) % 28,
                                      minute / 60 % 24, minute % 60, i % 60};
        const std::string host = "PC" + std::to_string(i / 2 % 40);
        const std::string when = kesrow::DateTimeText(t);
        std::string line = i % 50 == 49 ? kesrow::kViolationMarker + kesrow::ViolationMessage(host, when)
                           : i % 2      ? kesrow::DisconnectLine(host, when)
                                        : kesrow::ConnectLine(host, when);
        out << kesrow::ToCp932(line) << "\r\n";
    }
    return path;
}

struct Timing {
    double best, median;
};

Timing SevenRuns(const std::function<void()>& run)
{
    std::vector<double> ms;
    for (int i = 0; i < 7; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2]};
}

}  // namespace

int main()
{
    std::string tmpl = (std::filesystem::temp_directory_path() / "kesrow-bench-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) return 1;
    const std::filesystem::path dir = tmpl;
    const kesrow::LocalDateTime now{2026, 12, 31, 12, 0, 0};

    std::printf("%10s %12s | viewer: %12s %8s %8s | report: %8s %8s %11s\n", "lines", "bytes", "shown bytes",
                "best ms", "median", "best ms", "median", "connections");
    for (int lines : {1000, 10000, 100000, 1500000}) {
        const std::string log = WriteLog(dir, lines);
        std::size_t shown = 0;
        const Timing viewer = SevenRuns([&] { shown = kesrow::LogViewerText(log).size(); });
        int connections = 0;
        const Timing report = SevenRuns([&] {
            const auto month = kesrow::BuildMonthReport(kesrow::ReadLog(log), {2026, 3}, now);
            connections = month.total.connections + int(kesrow::ReportText(month).empty());
        });
        std::printf("%10d %12ju | %20zu %8.1f %8.1f | %16.1f %8.1f %11d\n", lines,
                    std::uintmax_t(std::filesystem::file_size(log)), shown, viewer.best, viewer.median, report.best,
                    report.median, connections);
        if (shown == 0) return 1;
    }
    std::filesystem::remove_all(dir);
    return 0;
}
