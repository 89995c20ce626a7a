// CPU time of the poll cycle on local disk with the real dial-up probe,
// host name and clock: one unchanged tick (three probes, two host-name
// reads, one status read), and each of its pieces alone.
//
//   kesrow_bench [--ticks N] [--dir FOLDER]
#include <sys/vfs.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/main_form.h"
#include "core/text_file.h"
#include "platform/linux/posix_services.h"

namespace {

using namespace kesrow;

// Everything but the files, the probe, the host name and the clock does
// nothing, and counts what would have shown on screen.
class QuietPlatform : public TrayIcon, public Dialogs, public PollTimer, public Process, public UiThread {
public:
    explicit QuietPlatform(std::string folder) : folder_(std::move(folder)) {}
    int iconChanges = 0;
    int boxes = 0;

    void show(TrayImage, const std::string&) override { ++iconChanges; }
    void hide() override {}
    void showNotice(const std::string&, const std::string&) override {}
    Answer messageBox(const std::string& prompt, BoxStyle, const std::string&) override
    {
        std::fprintf(stderr, "box: %s\n", prompt.c_str());
        ++boxes;
        return Answer::Ok;
    }
    void violationWarning(const std::string& prompt, const std::string& title) override
    {
        messageBox(prompt, BoxStyle::OkOnly, title);
    }
    std::string inputBox(const std::string&, const std::string&, const std::string&) override { return ""; }
    void beep() override {}
    void setEnabled(bool) override {}
    bool previousInstance() override { return false; }
    std::string currentDirectory() override { return folder_; }
    std::string computerSettingsDirectory() override { return ""; }
    void end(int) override {}

    // What the share worker hands back runs on the measuring thread.
    void post(std::function<void()> task) override
    {
        std::lock_guard lock(mutex_);
        posted_.push_back(std::move(task));
        changed_.notify_all();
    }
    // Looked at every 100 us too: an unchanged tick ends on the worker without posting.
    void runUntil(const std::function<bool()>& done)
    {
        while (!done()) {
            std::unique_lock lock(mutex_);
            if (!changed_.wait_for(lock, std::chrono::microseconds(100), [&] { return !posted_.empty(); })) continue;
            auto task = std::move(posted_.front());
            posted_.pop_front();
            lock.unlock();
            task();
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> posted_;
    std::string folder_;
};

double ThreadCpuMicroseconds()
{
    timespec t{};
    // The process's: a tick runs on the share worker as well.
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

// Runs the step count times after a warm-up and prints median, p99 and mean.
void Measure(const char* what, int count, const std::function<void()>& step)
{
    for (int i = 0; i < std::min(count / 10, 1000); ++i)
        step();
    std::vector<double> samples(count);
    for (double& sample : samples) {
        const double start = ThreadCpuMicroseconds();
        step();
        sample = ThreadCpuMicroseconds() - start;
    }
    double sum = 0;
    for (double s : samples)
        sum += s;
    std::sort(samples.begin(), samples.end());
    std::printf("%-22s median %7.2f us   p99 %7.2f us   mean %7.2f us   (%d runs)\n", what,
                samples[count / 2], samples[count * 99 / 100], sum / count, count);
}

std::string FileSystemName(const std::string& folder)
{
    struct statfs fs {};
    if (statfs(folder.c_str(), &fs) != 0)
        return "?";
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0xEF53: return "ext4";
    case 0x01021994: return "tmpfs";
    case 0x794C7630: return "overlayfs";
    case 0x58465342: return "xfs";
    case 0x9123683E: return "btrfs";
    default: {
        char hex[32];
        std::snprintf(hex, sizeof hex, "type 0x%lx", static_cast<unsigned long>(fs.f_type));
        return hex;
    }
    }
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
        std::perror(path.c_str());
        std::exit(1);
    }
}

int Run(int ticks, std::string parent)
{
    std::string folder = parent + "/kesrow-bench-XXXXXX";
    if (!mkdtemp(folder.data())) {
        std::perror(folder.c_str());
        return 1;
    }
    WriteFile(folder + "/pas.txt", folder + "/\r\n");
    WriteFile(folder + "/kesrow.txt", "OK\r\n");
    std::printf("folder %s (%s), %d ticks\n", folder.c_str(), FileSystemName(folder).c_str(), ticks);

    QuietPlatform quiet(folder);
    PosixHostName host;
    LocalClock clock;
    LinuxDialUp dialUp;
    Platform platform{quiet, host, quiet, quiet, clock, quiet, dialUp, quiet};
    MainForm form(platform);
    form.Form_Load();
    quiet.runUntil([&] { return form.Settled(); });
    const auto tick = [&] {
        form.TickNow();
        quiet.runUntil([&] { return form.Settled(); });
    };
    tick();  // the first "OK" is a change
    if (dialUp.activeConnections() != 0)
        std::printf("warning: %s is up here, so ticks claim the line instead of idling\n",
                    dialUp.activeInterfaces().front().c_str());
    const int iconChangesBefore = quiet.iconChanges;

    Measure("unchanged tick", ticks, tick);
    Measure("probe alone", ticks, [&] { dialUp.activeConnections(); });
    Measure("status read alone", ticks, [&] {
        TextFile status(form.StatusFile(), OpenMode::Input);
        if (!status.AtEnd())
            status.ReadField();
        status.Close();
    });
    Measure("host name alone", ticks, [&] { host.localHostName(); });
    Measure("CPU clock alone", ticks, [] {});

    if (quiet.iconChanges != iconChangesBefore || quiet.boxes != 0 || form.CurrentHolder() != "OK")
        std::printf("warning: the ticks did not all idle (icon changes %d, boxes %d, holder \"%s\")\n",
                    quiet.iconChanges - iconChangesBefore, quiet.boxes, form.CurrentHolder().c_str());
    std::filesystem::remove_all(folder);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    int ticks = 20000;
    // /var/tmp is on disk where /tmp may be memory.
    std::string parent = std::filesystem::is_directory("/var/tmp") ? "/var/tmp" : "/tmp";
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--ticks") == 0)
            ticks = std::max(100, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--dir") == 0)
            parent = argv[i + 1];
    }
    return Run(ticks, parent);
}
