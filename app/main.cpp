// The command line: picks the desktop tray or the console copy, and never
// lets an exception abort the program.
#include <clocale>
#include <cstdio>
#include <exception>
#include <optional>
#include <string_view>

#include "app/log_commands.h"
#include "platform/console/console_frontend.h"
#if KESROW_WITH_QT
#include "platform/qt/qt_frontend.h"
#endif

namespace {

constexpr const char* kUsage =
    "Usage: kesrow [--console]\n"
    "       kesrow --status\n"
    "       kesrow --report [YYYY-MM] [--csv]\n"
    "       kesrow --version | --help\n"
    "Shows who holds the office's shared line and claims it while this computer\n"
    "is dialled up. The shared folder is read from pas.txt in the working directory,\n"
    "or when there is none, from the computer's kesrow/pas.txt in its sysconfdir.\n"
    "\n"
    "  --console  run without a display: icon changes on standard output,\n"
    "             boxes on standard error, answers on standard input\n"
    "  --status   who holds the line, since when; exit status 0 free, 1 held,\n"
    "             3 unreadable\n"
    "  --report   per computer: connections, connected time and violations of\n"
    "             a month (default: this one); --csv for a spreadsheet\n"
    "  --version  print the version and exit\n"
    "  --help     print this help and exit\n"
    "See kesrow(1).\n";

// A build without the desktop front end runs the console copy by default.
int StartTray(int argc, char** argv)
{
#if KESROW_WITH_QT
    return kesrow::RunTray(argc, argv);
#else
    (void)argc;
    (void)argv;
    return kesrow::RunConsole();
#endif
}

int Run(int argc, char** argv)
{
    enum class Command { Tray, Console, Status, Report } command = Command::Tray;
    std::optional<kesrow::YearMonth> month;
    bool csv = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--version") {
            std::puts(KESROW_VERSION);
            return 0;
        }
        if (arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--console" || arg == "--status" || arg == "--report") {
            command = arg == "--console" ? Command::Console : arg == "--status" ? Command::Status : Command::Report;
            continue;
        }
        if (arg == "--csv") {
            csv = true;
            continue;
        }
        if (command == Command::Report && !month && (month = kesrow::ParseYearMonth(arg))) continue;
        std::fprintf(stderr, "kesrow: unknown option %s\n%s", kesrow::TerminalSafe(arg).c_str(), kUsage);
        return 2;
    }
    if (csv && command != Command::Report) {
        std::fprintf(stderr, "kesrow: --csv goes with --report\n%s", kUsage);
        return 2;
    }
    switch (command) {
    case Command::Console: return kesrow::RunConsole();
    case Command::Status: return kesrow::RunStatus();
    case Command::Report: return kesrow::RunReport(month, csv);
    case Command::Tray: break;
    }
    return StartTray(argc, argv);
}

}  // namespace

int main(int argc, char** argv)
{
    // The system's messages (a file that cannot be opened) in the user's
    // language where the system has them; numbers and times keep our format.
    std::setlocale(LC_CTYPE, "");
    std::setlocale(LC_MESSAGES, "");
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kesrow: %s\n", e.what());
    } catch (...) {
        std::fputs("kesrow: unexpected failure\n", stderr);
    }
    return 1;
}
