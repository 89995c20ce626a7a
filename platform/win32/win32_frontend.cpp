#include "platform/win32/win32_frontend.h"

#include <windows.h>

#include "core/main_form.h"
#include "core/texts.h"
#include "platform/win32/ras_dialup.h"
#include "platform/win32/registry_system_info_tool.h"
#include "platform/win32/resources.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win_dialogs.h"
#include "platform/win32/win_forms.h"
#include "platform/win32/win_process.h"
#include "platform/win32/win_tray_icon.h"
#include "platform/win32/winsock_host_name.h"
#include "ui/tray_menu.h"

namespace kesrow {
namespace {

constexpr UINT kTrayMessage = WM_APP + 1;
constexpr UINT kLoadMessage = WM_APP + 3;
constexpr UINT_PTR kTimer1 = 1;

// Timer1 on the main window: WM_TIMER every 100 ms while enabled.
class WinPollTimer : public PollTimer {
public:
    explicit WinPollTimer(HWND window) : window_(window) {}
    void setEnabled(bool enabled) override
    {
        if (enabled)
            SetTimer(window_, kTimer1, kTimerIntervalMs, nullptr);
        else
            KillTimer(window_, kTimer1);
    }

private:
    HWND window_;
};

// Everything the main window's events reach.
struct Program {
    explicit Program(HWND mainWindow) : window(mainWindow) {}

    HWND window;
    win32::WinTrayIcon tray{window, kTrayMessage};
    win32::WinsockHostName host;
    win32::WinDialogs dialogs{window};
    WinPollTimer timer{window};
    win32::WinClock clock;
    win32::WinProcess process;
    win32::RasDialUp dialUp;
    Platform platform{tray, host, dialogs, timer, clock, process, dialUp};
    MainForm form{platform};
    win32::WinForms forms{window};
    win32::RegistrySystemInfoTool sysInfo;
    UiServices ui{forms, sysInfo};
    TrayMenu menu{form, ui};
    UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    bool closing = false;

    // The system closing the program (logoff, shutdown, WM_CLOSE): the
    // unload path once, which releases a line this computer holds.
    void close()
    {
        if (closing || process.unloaded()) return;
        closing = true;
        form.RunEvent([&] { form.Unload(); });
        process.end();
    }

    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_TIMER && wParam == kTimer1) {
            form.Timer1_Timer();
        } else if (message == kTrayMessage) {
            // While a box or form of ours is open the main window is
            // disabled: the menu waits until it is closed.
            if (LOWORD(lParam) != WM_RBUTTONUP || !IsWindowEnabled(window)) return 0;
            POINT pointer;
            GetCursorPos(&pointer);
            form.RunEvent([&] { menu.IconTray1_RightClick(2, float(pointer.x), float(pointer.y)); });
        } else if (message == win32::WinTrayIcon::FlushMessage()) {
            tray.flush();
        } else if (message == taskbarCreated) {
            tray.restore();
        } else if (message == kLoadMessage) {
            form.RunEvent([&] { form.Form_Load(); });
        } else if (message == WM_CLOSE) {
            close();
        } else if (message == WM_QUERYENDSESSION) {
            return TRUE;
        } else if (message == WM_ENDSESSION) {
            if (wParam) close();
        } else {
            return DefWindowProcW(window, message, wParam, lParam);
        }
        return 0;
    }
};

LRESULT CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* program = reinterpret_cast<Program*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return program ? program->handle(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
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
    Program program{window};
    program.process.onUnloaded = [&] {
        program.timer.setEnabled(false);
        program.tray.flush();
    };
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&program));
    PostMessageW(window, kLoadMessage, 0, 0);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
    return 0;
}

}  // namespace kesrow
