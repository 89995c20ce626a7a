// kesrow on Linux: the command line, then the desktop tray or the console copy.
#include <clocale>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "platform/console/console_frontend.h"
#if KESROW_WITH_QT
#include "platform/qt/qt_frontend.h"
#endif

namespace {

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

}  // namespace

int main(int argc, char** argv)
{
    // The system's messages (a file that cannot be opened) in the user's
    // language where the system has them; numbers and times keep our format.
    std::setlocale(LC_CTYPE, "");
    std::setlocale(LC_MESSAGES, "");
    return kesrow::RunCommandLine({argv + 1, argv + argc}, [&](kesrow::StartedProgram program) {
        return program == kesrow::StartedProgram::Console ? kesrow::RunConsole() : StartTray(argc, argv);
    });
}
