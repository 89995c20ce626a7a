// Prints, in UTF-8, what the desktop shows: "tooltip" the text of the tooltip
// on screen (the notification area's tooltip control answers WM_GETTEXT with
// it), or a title: the texts of that window's controls, one a line.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

void Print(const wchar_t* text)
{
    char utf8[2048];
    if (WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr)) std::printf("%s\n", utf8);
}

BOOL CALLBACK VisibleTooltip(HWND window, LPARAM)
{
    wchar_t name[64], text[512] = L"";
    GetClassNameW(window, name, 64);
    if (lstrcmpiW(name, L"tooltips_class32") != 0 || !IsWindowVisible(window)) return TRUE;
    SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    Print(text);
    return TRUE;
}

BOOL CALLBACK ControlText(HWND control, LPARAM)
{
    // Asked with the message: GetWindowText would give an edit box of
    // another process as it was created, not its content.
    wchar_t text[2048] = L"";
    SendMessageW(control, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text));
    if (*text) Print(text);
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) return 2;
    if (std::wstring(argv[1]) == L"tooltip") return !EnumWindows(VisibleTooltip, 0);
    HWND window = FindWindowW(nullptr, argv[1]);
    if (!window) return 1;
    EnumChildWindows(window, ControlText, 0);
    return 0;
}
