// The command line: picks the desktop tray or the console copy, and never
// lets an exception abort the program.
#include <cstdio>
#include <exception>
#include <string_view>

#include "platform/console/console_frontend.h"
#if KESROW_WITH_QT
#include "platform/qt/qt_frontend.h"
#endif

namespace {

constexpr const char* kUsage =
    "Usage: kesrow [--console]\n"
    "       kesrow --version | --help\n"
    "Shows who holds the office's shared line and claims it while this computer\n"
    "is dialled up. The shared folder is read from pas.txt in the working directory.\n"
    "\n"
    "  --console  run without a display: icon changes on standard output,\n"
    "             boxes on standard error, answers on standard input\n"
    "  --version  print the version and exit\n"
    "  --help     print this help and exit\n";

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
    bool console = false;
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
        if (arg == "--console") {
            console = true;
            continue;
        }
        std::fprintf(stderr, "kesrow: unknown option %s\n%s", argv[i], kUsage);
        return 2;
    }
    return console ? kesrow::RunConsole() : StartTray(argc, argv);
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kesrow: %s\n", e.what());
    } catch (...) {
        std::fputs("kesrow: unexpected failure\n", stderr);
    }
    return 1;
}
