#include "platform/console/console_frontend.h"

#include "core/main_form.h"
#include "platform/console/console_loop.h"
#include "platform/console/console_services.h"
#include "platform/posix/posix_services.h"
#include "platform/posix/program_launcher.h"
#include "platform/posix/sysinfo_registry.h"
#include "ui/tray_menu.h"

namespace kesrow {

int RunConsole(int, char**)
{
    ConsoleLoop loop;
    ConsoleTray tray;
    PosixHostName host;
    ConsoleDialogs dialogs(loop);
    ConsoleTimer timer(loop, kTimerIntervalMs);
    LocalClock clock;
    ConsoleProcess process(loop);
    LinuxDialUp dialUp;
    Platform platform{tray, host, dialogs, timer, clock, process, dialUp};
    kesrow form(platform);

    ConsoleForms forms;
    SysinfoRegistry registry;
    PosixProgramLauncher launcher;
    UiServices ui{forms, registry, launcher};
    TrayMenu menu(form, ui);

    bool unloading = false;
    loop.onSignal = [&] {
        // A second stop signal while the first is being handled changes nothing.
        if (unloading)
            return;
        unloading = true;
        form.RunEvent([&] { form.Unload(); });
    };
    loop.onTick = [&] { form.Timer1_Timer(); };

    form.Form_Load();
    loop.run();
    return 0;
}

}  // namespace kesrow
