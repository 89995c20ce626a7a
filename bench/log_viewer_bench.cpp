// How long the log viewer takes to build its text from logs of growing size;
// the last, about 50 MB, is beyond the viewer's limit, so only its last
// 16 MB are shown.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/codepage.h"
#include "core/shared_files.h"
#include "ui/log_viewer.h"

namespace {

std::string WriteLog(const std::filesystem::path& dir, int lines)
{
    const std::string path = (dir / ("kesrow-" + std::to_string(lines) + ".log")).string();
    std::ofstream out(path, std::ios::binary);
    kesrow::LocalDateTime t{1998, 9, 3, 10, 15, 0};
    for (int i = 0; i < lines; ++i) {
        t.minute = i % 60;
        t.second = (i / 60) % 60;
        const std::string when = kesrow::DateTimeText(t);
        const std::string line = i % 2 ? kesrow::DisconnectLine("PC" + std::to_string(i % 40), when)
                                       : kesrow::ConnectLine("PC" + std::to_string(i % 40), when);
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

    std::printf("%10s %12s %12s %10s %10s\n", "lines", "bytes", "shown bytes", "best ms", "median ms");
    for (int lines : {1000, 10000, 100000, 1500000}) {
        const std::string log = WriteLog(dir, lines);
        std::vector<double> ms;
        std::size_t shown = 0;
        for (int run = 0; run < 7; ++run) {
            const auto start = std::chrono::steady_clock::now();
            shown = kesrow::LogViewerText(log).size();
            ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
        std::sort(ms.begin(), ms.end());
        std::printf("%10d %12ju %12zu %10.1f %10.1f\n", lines, std::uintmax_t(std::filesystem::file_size(log)), shown,
                    ms.front(), ms[ms.size() / 2]);
        if (shown == 0) return 1;
    }
    std::filesystem::remove_all(dir);
    return 0;
}
