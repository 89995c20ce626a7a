#include "platform/console/console_frontend.h"

#include "platform/console/console_loop.h"
#include "platform/console/console_services.h"
#include "platform/linux/posix_services.h"
#include "ui/tray_program.h"

namespace kesrow {

// Without a display there is no menu: the copy runs until a stop signal.
int RunConsole()
{
    ConsoleLoop loop;
    ConsoleTray tray;
    ConsoleDialogs dialogs(loop);
    NoForms forms;
    PosixServices posix;
    // A copy that could not start and had nobody to ask (a service's
    // standard input) fails, so that its service manager tries again.
    dialogs.onUnanswered = [&] { posix.process.exitStatus = 1; };
    TrayProgram program(posix.frontEnd(tray, dialogs, loop, forms), [&] { loop.quit(); });

    // A stop signal closes the copy, once however many arrive: the process
    // ends when the release is done, or without it when the share does not answer.
    loop.onSignal = [&] { program.close(); };

    program.start();
    loop.run();
    return 0;
}

}  // namespace kesrow
