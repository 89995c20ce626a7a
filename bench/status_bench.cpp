// `kesrow --status` run as a process on a 256 MB log: its wall time and
// peak resident memory, with the holder's connect line near the end of the
// log and with none in it at all (the whole look-back read for nothing).
//
//   status_bench <kesrow> [runs]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

namespace {

namespace fs = std::filesystem;
constexpr std::size_t kLogBytes = 256u * 1024 * 1024;

std::string Line(const std::string& text) { return kesrow::ToCp932(text) + "\r\n"; }

// Forty computers taking turns, a violation now and then, up to 256 MB; then
// PC-HOLDER's connect line and a hundred violation lines of others after it.
void WriteLog(const fs::path& path)
{
    std::string block;
    for (int i = 0; block.size() < 1024 * 1024; ++i) {
        const kesrow::LocalDateTime t{2026, 1 + i / 20000 % 12, 1 + i / 800 % 28, i / 60 % 24, i % 60, i % 60};
        const std::string host = "PC" + std::to_string(i / 2 % 40), when = kesrow::DateTimeText(t);
        block += Line(i % 50 == 49 ? kesrow::kViolationMarker + kesrow::ViolationMessage(host, when)
                      : i % 2      ? kesrow::DisconnectLine(host, when)
                                   : kesrow::ConnectLine(host, when));
    }
    std::string tail = Line(kesrow::ConnectLine("PC-HOLDER", "2026/12/31 9:00:00"));
    for (int i = 0; i < 100; ++i)
        tail += Line(kesrow::kViolationMarker + kesrow::ViolationMessage("PC" + std::to_string(i % 40), "2026/12/31 9:30:00"));
    std::ofstream out(path, std::ios::binary);
    for (std::size_t written = 0; written + block.size() + tail.size() <= kLogBytes; written += block.size()) out << block;
    out << tail;
}

struct Run {
    double ms;
    long maxRssKb;
    int status;
};

// One `kesrow --status` in folder, its output to out.
Run StatusOnce(const char* kesrow, const fs::path& folder, const fs::path& out)
{
    std::fflush(stdout);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder.c_str()) != 0 || !std::freopen(out.c_str(), "w", stdout)) _exit(127);
        execl(kesrow, kesrow, "--status", static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return {ms, usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs("usage: status_bench <kesrow> [runs]\n", stderr);
        return 2;
    }
    const std::string kesrow = fs::absolute(argv[1]).string();
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    std::string tmpl = (fs::temp_directory_path() / "kesrow-status-bench-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) return 1;
    const fs::path dir = tmpl, share = dir / "share";
    fs::create_directory(share);
    std::ofstream(dir / "pas.txt", std::ios::binary) << share.string() << "/\r\n";
    WriteLog(share / "kesrow.log");

    std::printf("log: %ju bytes\n%-28s %6s %9s %9s %12s  %s\n", std::uintmax_t(fs::file_size(share / "kesrow.log")),
                "holder", "exit", "best ms", "median", "max RSS MB", "output");
    for (const char* holder : {"PC-HOLDER", "PC-NO-CONNECT-LINE"}) {
        std::ofstream(share / "kesrow.txt", std::ios::binary) << holder << "\r\n";
        std::vector<Run> all;
        for (int i = 0; i < runs; ++i) all.push_back(StatusOnce(kesrow.c_str(), dir, dir / "out.txt"));
        std::sort(all.begin(), all.end(), [](const Run& a, const Run& b) { return a.ms < b.ms; });
        long maxRss = 0;
        for (const Run& r : all) maxRss = std::max(maxRss, r.maxRssKb);
        std::string output, since;
        for (std::ifstream in(dir / "out.txt"); std::getline(in, output);) since = output;
        std::printf("%-28s %6d %9.1f %9.1f %12.1f  %s\n", holder, all.front().status, all.front().ms,
                    all[all.size() / 2].ms, maxRss / 1024.0, since.c_str());
    }
    fs::remove_all(dir);
    return 0;
}
