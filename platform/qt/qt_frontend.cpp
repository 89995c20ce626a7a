#include "platform/qt/qt_frontend.h"

#include <QApplication>
#include <QEventLoop>
#include <QMenu>
#include <QScreen>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QSystemTrayIcon>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "core/texts.h"
#include "platform/linux/posix_services.h"
#include "platform/linux/stop_signals.h"
#include "platform/qt/fallback_window.h"
#include "platform/qt/pictures.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_forms.h"
#include "platform/qt/qt_translations.h"
#include "platform/qt/qt_tray_icon.h"
#include "ui/tray_program.h"

namespace kesrow {

namespace {

// Tasks from the share worker, run by the application's event loop, the
// loops of modal boxes included.
class QtUiThread : public UiThread {
public:
    void post(std::function<void()> task) override
    {
        QMetaObject::invokeMethod(qApp, std::move(task), Qt::QueuedConnection);
    }
};

const char* NoDisplay()
{
    return UserReadsJapanese() ? "kesrow: トレイアイコンを表示する画面がありません。画面なしでは kesrow --console を使ってください\n"
                               : "kesrow: no display to show the tray icon on; kesrow --console runs without one\n";
}

// Qt aborts, after a few lines of its own, when it cannot reach the display:
// say it in one line instead, and let the other lines through once it could.
QStringList startMessages;

void NoDisplayHandler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtFatalMsg) {
        startMessages << message;
        return;
    }
    std::fputs(NoDisplay(), stderr);
    std::_Exit(1);
}

}  // namespace

int RunTray(int argc, char** argv)
{
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) {
        std::fputs(NoDisplay(), stderr);
        return 1;
    }
    // Before the first thread: Qt's and the share worker's inherit the block.
    StopSignals stopSignals;
    qInstallMessageHandler(NoDisplayHandler);
    QApplication app(argc, argv);
    qInstallMessageHandler(nullptr);
    for (const QString& message : startMessages) std::fprintf(stderr, "%s\n", qPrintable(message));
    QTranslator qtTexts;
    if (qt::LoadQtTranslations(qtTexts)) QCoreApplication::installTranslator(&qtTexts);
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
    qt::QtDialogs dialogs;
    qt::QtForms forms(&mainForm);
    PosixServices posix;
    QtUiThread uiThread;
    std::unique_ptr<qt::FallbackWindow> window;
    QTimer trayWatch;
    TrayProgram program(posix.frontEnd(tray, dialogs, uiThread, forms), [&] {
        trayWatch.stop();
        if (window) window->hide();
        // exit() leaves nested loops too (a dialog that was open), then the main one.
        QCoreApplication::exit(0);
    });

    const std::vector<std::string> captions(std::begin(kMenuItems), std::end(kMenuItems));
    qt::FillMenu(&trayMenu, captions, kMenuDefaultItem);
    // Each action on its own: a StatusNotifierItem host triggers the action
    // through the exported menu, not through the QMenu.
    for (QAction* action : trayMenu.actions()) {
        const int index = action->data().toInt();
        QObject::connect(action, &QAction::triggered, [&program, index] { program.choose(index); });
    }

    // Without a notification area (GNOME without its tray extension) the
    // main form's window stands in for the icon, once start-up has shown it.
    // A tray may come after the program (a panel started later) and go
    // again: the window follows it, hidden while the tray shows the icon,
    // never closed, which would end the program.
    bool trayPresent = QSystemTrayIcon::isSystemTrayAvailable();
    QIcon picture;
    QString tip;
    tray.onChange = [&](const QIcon& newPicture, const QString& newTip) {
        picture = newPicture, tip = newTip;
        if (!trayPresent) window->showStatus(picture, tip);
    };
    tray.onNotice = [&](const QString& text) {
        if (!trayPresent) window->showNotice(text);
    };
    auto followTray = [&] {
        if (!trayPresent && !window) {
            window = std::make_unique<qt::FallbackWindow>(captions, kMenuDefaultItem);
            window->onCommand = [&](int index) { program.choose(index); };
            window->MenuEnd_Click = [&] { program.endItem(); };
            // The system closing the program (the window's frame).
            window->onClose = [&] { program.close(); };
        }
        if (trayPresent && window) window->hide();
        if (!trayPresent) window->showStatus(picture, tip);
    };
    followTray();
    QObject::connect(&trayWatch, &QTimer::timeout, [&] {
        if (QSystemTrayIcon::isSystemTrayAvailable() == trayPresent) return;
        trayPresent = !trayPresent;
        followTray();
    });
    trayWatch.start(1000);
    // Stop signals and the end of the session close the program too.
    QSocketNotifier stopNotifier(stopSignals.fd(), QSocketNotifier::Read);
    QObject::connect(&stopNotifier, &QSocketNotifier::activated, [&] {
        while (stopSignals.take()) program.close();
    });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, [&](QSessionManager&) { program.close(); });

    program.start();
    QApplication::exec();
    // Left without the unload path (the application was told to quit): run
    // it now; its tasks need a loop of their own, which the form's unload leaves.
    if (!program.unloaded()) {
        QEventLoop ending;
        QTimer::singleShot(0, [&] { program.close(); });
        ending.exec();
    }
    // A worker stuck in the share must not hold the process.
    posix.process.end();
}

}  // namespace kesrow
