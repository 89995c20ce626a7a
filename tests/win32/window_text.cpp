// Prints, in UTF-8, what the desktop shows: "tooltip" the text of the tooltip
// on screen (the notification area's tooltip control answers WM_GETTEXT with
// it), or a title: its owner's title if any, then its controls' texts, one a line.
#include <windows.h>

#include <cstdio>

namespace {

// Asked with the message: GetWindowText would give a control of another
// process as it was created, not its content.
BOOL CALLBACK PrintText(HWND window, LPARAM tooltipsOnly)
{
    wchar_t name[64], text[2048] = L"";
    GetClassNameW(window, name, 64);
    if (tooltipsOnly && (lstrcmpiW(name, L"tooltips_class32") != 0 || !IsWindowVisible(window))) return TRUE;
    SendMessageW(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text));
    char utf8[4096];
    if (*text && WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr))
        std::printf("%s\n", utf8);
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) return 2;
    if (lstrcmpW(argv[1], L"tooltip") == 0) return !EnumWindows(PrintText, 1);
    HWND window = FindWindowW(nullptr, argv[1]);
    if (!window) return 1;
    PrintText(GetWindow(window, GW_OWNER), 0);
    EnumChildWindows(window, PrintText, 0);
    return 0;
}
