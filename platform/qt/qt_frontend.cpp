#include "platform/qt/qt_frontend.h"

#include <QApplication>
#include <QMenu>
#include <QScreen>
#include <QSessionManager>
#include <QSystemTrayIcon>
#include <QTimer>
#include <memory>

#include "core/main_form.h"
#include "platform/posix/posix_services.h"
#include "platform/posix/program_launcher.h"
#include "platform/posix/sysinfo_registry.h"
#include "platform/qt/fallback_window.h"
#include "platform/qt/pictures.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_forms.h"
#include "platform/qt/qt_process.h"
#include "platform/qt/qt_tray_icon.h"
#include "platform/qt/signal_pipe.h"
#include "ui/tray_menu.h"

namespace kesrow {

namespace {

// Timer1: ticks while enabled, each delivered to the form.
class QtPollTimer : public PollTimer {
public:
    explicit QtPollTimer(std::function<void()> onTick)
    {
        timer_.setInterval(kTimerIntervalMs);
        QObject::connect(&timer_, &QTimer::timeout, std::move(onTick));
    }
    void setEnabled(bool enabled) override { enabled ? timer_.start() : timer_.stop(); }

private:
    QTimer timer_;
};

}  // namespace

int RunTray(int argc, char** argv)
{
    QApplication app(argc, argv);
    // No applicationDisplayName: xcb would append it to every window title.
    // Closing a dialog must not end a program whose only permanent window is the tray icon.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(qt::ProgramIcon());

    // The main form's own window is never shown; it owns the dialogs.
    QWidget mainForm;
    mainForm.setWindowTitle(QString::fromUtf8(kTitle));
    // Dialogs centre on their owner: spread the hidden owner over the screen.
    if (QScreen* screen = QGuiApplication::primaryScreen()) mainForm.setGeometry(screen->availableGeometry());

    QMenu trayMenu;
    qt::QtTrayIcon tray(&trayMenu);
    PosixHostName host;
    qt::QtDialogs dialogs;
    kesrow* formPtr = nullptr;
    QtPollTimer timer([&] { formPtr->Timer1_Timer(); });
    LocalClock clock;
    qt::QtProcess process;
    LinuxDialUp dialUp;
    Platform platform{tray, host, dialogs, timer, clock, process, dialUp};
    kesrow form(platform);
    formPtr = &form;

    qt::QtForms forms(&mainForm);
    SysinfoRegistry registry;
    PosixProgramLauncher launcher;
    UiServices ui{forms, registry, launcher};
    TrayMenu menu(form, ui);

    const auto& captions = TrayMenu::Captions();
    qt::FillMenu(&trayMenu, captions, TrayMenu::kDefaultItem);
    // Each action on its own: a StatusNotifierItem host triggers the action
    // through the exported menu, not through the QMenu.
    for (QAction* action : trayMenu.actions()) {
        const int index = action->data().toInt();
        QObject::connect(action, &QAction::triggered, [&form, &menu, index] {
            form.RunEvent([&] { menu.Choose(index); });
        });
    }

    // Without a notification area (GNOME without its tray extension) the
    // main form's window stands in for the icon, once start-up has added it.
    std::unique_ptr<qt::FallbackWindow> window;
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        window = std::make_unique<qt::FallbackWindow>(captions, TrayMenu::kDefaultItem);
        window->onCommand = [&](int index) { form.RunEvent([&] { menu.Choose(index); }); };
        window->MenuEnd_Click = [&] { form.RunEvent([&] { form.MenuEnd_Click(); }); };
        tray.onChange = [&](const QIcon& picture, const QString& tip) { window->showStatus(picture, tip); };
    }

    process.onUnloaded = [&] {
        timer.setEnabled(false);
        if (window) window->hide();
    };

    // The system closing the program (signals, logout, the window's frame):
    // the unload path once, then the process ends with status 0.
    bool closing = false;
    auto closeProgram = [&] {
        if (closing || process.unloaded()) return;
        closing = true;
        form.RunEvent([&] { form.Unload(); });
        process.end();
    };
    if (window) window->onClose = closeProgram;
    qt::SignalPipe stopSignals([&](int) { closeProgram(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, [&](QSessionManager&) { closeProgram(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [&] { closeProgram(); });

    QTimer::singleShot(0, [&] { form.RunEvent([&] { form.Form_Load(); }); });
    QApplication::exec();
    return 0;
}

}  // namespace kesrow
