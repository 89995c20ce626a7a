#include "platform/win32/win32_frontend.h"

#include <windows.h>

#include <memory>

#include "core/texts.h"
#include "platform/win32/ras_dialup.h"
#include "platform/win32/registry_system_info_tool.h"
#include "platform/win32/resources.h"
#include "core/wide_text_win32.h"
#include "platform/win32/win_dialogs.h"
#include "platform/win32/win_forms.h"
#include "platform/win32/win_process.h"
#include "platform/win32/win_tray_icon.h"
#include "platform/win32/winsock_host_name.h"
#include "ui/tray_program.h"

namespace kesrow {
namespace {

constexpr UINT kTrayMessage = WM_APP + 1;
constexpr UINT kTaskMessage = WM_APP + 4;

// Tasks from the share worker, posted to the main window: the loops of the
// boxes, forms and popup menu dispatch them too.
class WinUiThread : public UiThread {
public:
    explicit WinUiThread(HWND window) : window_(window) {}
    void post(std::function<void()> task) override
    {
        auto* posted = new std::function<void()>(std::move(task));
        if (!PostMessageW(window_, kTaskMessage, 0, reinterpret_cast<LPARAM>(posted))) delete posted;
    }
    static void Run(LPARAM posted)
    {
        std::unique_ptr<std::function<void()>> task(reinterpret_cast<std::function<void()>*>(posted));
        (*task)();
    }

private:
    HWND window_;
};

// Everything the main window's events reach.
struct MainWindow {
    explicit MainWindow(HWND mainWindow) : window(mainWindow) {}

    HWND window;
    win32::WinTrayIcon tray{window, kTrayMessage};
    win32::WinsockHostName host;
    win32::WinDialogs dialogs{window};
    win32::WinClock clock;
    win32::WinProcess process;
    win32::RasDialUp dialUp;
    WinUiThread uiThread{window};
    win32::WinForms forms{window};
    win32::RegistrySystemInfoTool sysInfo;
    // The main form unloaded: leave the message loop.
    TrayProgram program{{tray, host, dialogs, clock, process, dialUp, uiThread, forms, sysInfo}, [] { PostQuitMessage(0); }};
    UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");

    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == kTaskMessage) {
            WinUiThread::Run(lParam);
        } else if (message == kTrayMessage) {
            // While a box or form of ours is open the main window is
            // disabled: the menu waits until it is closed.
            if (LOWORD(lParam) != WM_RBUTTONUP || !IsWindowEnabled(window)) return 0;
            program.rightClick();
        } else if (message == taskbarCreated) {
            tray.restore();
        } else if (message == WM_CLOSE) {
            program.close();
        } else if (message == WM_QUERYENDSESSION) {
            return TRUE;
        } else if (message == WM_ENDSESSION) {
            // The session ends when this returns: the release must be done by then.
            if (!wParam) return 0;
            program.close();
            MSG next;
            while (GetMessageW(&next, nullptr, 0, 0) > 0) DispatchMessageW(&next);
        } else {
            return DefWindowProcW(window, message, wParam, lParam);
        }
        return 0;
    }
};

LRESULT CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* main = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return main ? main->handle(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateMainWindow()
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = MainWindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kProgramIcon));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"kesrow";
    RegisterClassExW(&windowClass);
    // A top-level window, never shown: only those hear TaskbarCreated and
    // the end of the session.
    return CreateWindowExW(0, L"kesrow", win32::Widen(kTitle).c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
}

}  // namespace

int RunWin32()
{
    HWND window = CreateMainWindow();
    if (!window) return 1;
    MainWindow main{window};
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&main));
    main.program.start();

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // A worker stuck in the share must not hold the process.
    main.process.end();
}

}  // namespace kesrow
