#include "platform/win32/modal_dialog.h"

#include <cstring>
#include <iterator>

#include "core/wide_text_win32.h"

namespace kesrow::win32 {
namespace {

// DLGTEMPLATE, then no menu, the default class and the caption, all WORD aligned.
std::wstring EmptyTemplate(const std::wstring& caption)
{
    DLGTEMPLATE head{};
    head.style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    std::wstring words(sizeof head / sizeof(wchar_t), L'\0');
    std::memcpy(words.data(), &head, sizeof head);
    words += L'\0';  // menu
    words += L'\0';  // class
    words += caption;
    words += L'\0';
    return words;
}

int CALLBACK FaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// The face asked for when this computer has it, else the first Japanese UI
// face it has: the mapper's own choice for a missing face can be a
// fixed-pitch font, too wide for the forms' labels.
const wchar_t* AvailableFace(const wchar_t* wanted)
{
    static const wchar_t* const fallbacks[] = {L"MS UI Gothic", L"Meiryo UI", L"Yu Gothic UI", L"IPAPGothic"};
    HDC screen = GetDC(nullptr);
    const wchar_t* chosen = wanted;
    for (const wchar_t* face : {wanted, fallbacks[0], fallbacks[1], fallbacks[2], fallbacks[3]}) {
        LOGFONTW query{};
        query.lfCharSet = SHIFTJIS_CHARSET;
        lstrcpynW(query.lfFaceName, face, LF_FACESIZE);
        bool found = false;
        EnumFontFamiliesExW(screen, &query, FaceFound, reinterpret_cast<LPARAM>(&found), 0);
        if (found) {
            chosen = face;
            break;
        }
    }
    ReleaseDC(nullptr, screen);
    return chosen;
}

}  // namespace

HWND ModalDialog::innermost_ = nullptr;

ModalDialog::~ModalDialog()
{
    for (int i = 0; i < fontCount_; ++i) DeleteObject(fonts_[i]);
}

INT_PTR ModalDialog::run(HWND owner, const std::string& caption)
{
    HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    uiFont_ = font(kUiFace, 9);
    const std::wstring words = EmptyTemplate(Widen(caption));
    const HWND outer = innermost_;
    const INT_PTR result = DialogBoxIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(words.data()), owner, procedure,
        reinterpret_cast<LPARAM>(this));
    innermost_ = outer;
    return result;
}

INT_PTR CALLBACK ModalDialog::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<ModalDialog*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        self->window_ = innermost_ = window;
        self->onInit();
        return FALSE;  // onInit has set the focus
    }
    auto* self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!self) return FALSE;
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        self->onCommand(LOWORD(wParam));
        return TRUE;
    }
    INT_PTR result = 0;
    if (self->onMessage(message, wParam, lParam, result)) return result;
    return FALSE;
}

void ModalDialog::onCommand(int id)
{
    end(id);
}

bool ModalDialog::onMessage(UINT, WPARAM, LPARAM, INT_PTR&)
{
    return false;
}

void ModalDialog::size(int clientWidthTwips, int clientHeightTwips)
{
    RECT frame{0, 0, px(clientWidthTwips), px(clientHeightTwips)};
    AdjustWindowRectEx(&frame, GetWindowLongW(window_, GWL_STYLE), FALSE, GetWindowLongW(window_, GWL_EXSTYLE));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    // Centred on the screen's work area: the owner is never shown.
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(window_, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height, SWP_NOZORDER);
}

HWND ModalDialog::control(const wchar_t* className, const std::string& text, DWORD style, int id,
                          const TwipsRect& at, HFONT controlFont)
{
    HWND child = CreateWindowExW(0, className, Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, px(at.left),
                                 px(at.top), px(at.width), px(at.height), window_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                 nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(controlFont ? controlFont : uiFont_), FALSE);
    return child;
}

HFONT ModalDialog::font(const wchar_t* face, int points, int weight)
{
    HFONT made = CreateFontW(-MulDiv(points, dpi_, 72), 0, 0, 0, weight, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                             AvailableFace(face));
    if (fontCount_ < int(std::size(fonts_))) fonts_[fontCount_++] = made;
    return made;
}

INT_PTR GreyTextBox(WPARAM deviceContext)
{
    constexpr COLORREF grey = RGB(192, 192, 192);
    static const HBRUSH brush = CreateSolidBrush(grey);
    SetBkColor(reinterpret_cast<HDC>(deviceContext), grey);
    return reinterpret_cast<INT_PTR>(brush);
}

}  // namespace kesrow::win32
