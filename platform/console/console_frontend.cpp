#include "platform/console/console_frontend.h"

#include "core/main_form.h"
#include "core/worker_timer.h"
#include "platform/console/console_loop.h"
#include "platform/console/console_services.h"
#include "platform/linux/posix_services.h"

namespace kesrow {

// Without a display there is no menu: the copy runs until a stop signal.
int RunConsole()
{
    ConsoleLoop loop;
    ConsoleTray tray;
    ConsoleDialogs dialogs(loop);
    WorkerTimer timer;
    PosixServices posix;
    posix.process.onUnloaded = [&] { loop.quit(); };
    // A copy that could not start and had nobody to ask (a service's
    // standard input) fails, so that its service manager tries again.
    dialogs.onUnanswered = [&] { posix.process.exitStatus = 1; };
    Platform platform = posix.platform(tray, dialogs, timer, loop);
    MainForm form(platform);
    timer.form = &form;

    // The unload path runs once, however many stop signals arrive; the
    // process ends when it is done, or without the release when the share
    // does not answer.
    loop.onSignal = [&] { form.RunEvent([&] { form.Unload([&] { posix.process.end(); }); }); };

    form.RunEvent([&] { form.Form_Load(); });
    loop.run();
    return 0;
}

}  // namespace kesrow
