// How long `kesrow --report` takes to read a log and total one month.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/codepage.h"
#include "core/log_report.h"
#include "core/shared_files.h"

namespace {

// Forty computers taking turns over a year, a violation now and then.
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

}  // namespace

int main()
{
    std::string tmpl = (std::filesystem::temp_directory_path() / "kesrow-bench-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) return 1;
    const std::filesystem::path dir = tmpl;
    const kesrow::LocalDateTime now{2026, 12, 31, 12, 0, 0};

    std::printf("%10s %12s %10s %10s %12s\n", "lines", "bytes", "best ms", "median ms", "connections");
    for (int lines : {10000, 100000, 300000}) {
        const std::string log = WriteLog(dir, lines);
        std::vector<double> ms;
        int connections = 0;
        for (int run = 0; run < 7; ++run) {
            const auto start = std::chrono::steady_clock::now();
            const auto report = kesrow::BuildMonthReport(kesrow::ReadLog(log), {2026, 3}, now);
            const std::string text = kesrow::ReportText(report);
            ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            connections = report.total.connections + int(text.size() == 0);
        }
        std::sort(ms.begin(), ms.end());
        std::printf("%10d %12ju %10.1f %10.1f %12d\n", lines, std::uintmax_t(std::filesystem::file_size(log)),
                    ms.front(), ms[ms.size() / 2], connections);
    }
    std::filesystem::remove_all(dir);
    return 0;
}
