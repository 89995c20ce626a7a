#include "platform/win32/about_form.h"

#include "core/texts.h"
#include "platform/win32/resources.h"
#include "core/wide_text_win32.h"
#include "ui/form_layouts.h"

namespace kesrow::win32 {
namespace {

constexpr int kSysInfo = 101;
constexpr int kText1 = 102;
constexpr int kTitle = 103;

}  // namespace

AboutForm::~AboutForm()
{
    if (picture_) DestroyIcon(picture_);
}

void AboutForm::onInit()
{
    size(kAboutClientWidth, kAboutClientHeight);
    // Created in the form's tab order.
    HWND ok = control(L"BUTTON", kOkCaption, BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, kAboutOkButton);
    HWND picIcon = control(L"STATIC", "", SS_ICON | SS_CENTERIMAGE | SS_REALSIZECONTROL, -1, kAboutPicture);
    picture_ = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kAboutPictureIcon),
                                             IMAGE_ICON, px(kAboutPicture.width), px(kAboutPicture.height), 0));
    SendMessageW(picIcon, STM_SETICON, reinterpret_cast<WPARAM>(picture_), 0);
    control(L"BUTTON", kAboutSysInfoButton, BS_PUSHBUTTON | WS_TABSTOP, kSysInfo, kAboutSysInfoRect);
    control(L"STATIC", kAboutDisclaimer, SS_LEFT | SS_NOPREFIX, -1, kAboutDisclaimerRect);
    control(L"STATIC", kAboutTitleLabel, SS_LEFT | SS_NOPREFIX, kTitle, kAboutTitleRect, font(kUiFace, 9, FW_BOLD));
    control(L"STATIC", kAboutServerNote, SS_LEFT | SS_NOPREFIX, -1, kAboutNoteRect);
    control(L"EDIT", kAboutHistory, WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, kText1,
            kAboutHistoryBox);
    control(L"STATIC", kAboutVersionLabel, SS_LEFT | SS_NOPREFIX, -1, kAboutVersionRect);
    SetFocus(ok);
}

void AboutForm::onCommand(int id)
{
    if (id == kSysInfo)
        onSysInfo_();
    else if (id == IDOK || id == IDCANCEL)
        end(id);
}

bool AboutForm::onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    if (message == WM_PAINT) {
        paintLines();
        return true;
    }
    if (message != WM_CTLCOLORSTATIC) return false;
    HDC dc = reinterpret_cast<HDC>(wParam);
    switch (GetDlgCtrlID(reinterpret_cast<HWND>(lParam))) {
    case kText1:
        result = GreyTextBox(wParam);
        return true;
    case kTitle:
        SetTextColor(dc, RGB(0, 0, 255));
        SetBkMode(dc, TRANSPARENT);
        result = reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
        return true;
    default:
        return false;
    }
}

// Line1: a grey line over a white one two wide, an etched separator.
void AboutForm::paintLines()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    const auto line = [&](const int (&l)[4], COLORREF colour, int width) {
        HPEN pen = CreatePen(PS_SOLID, width, colour);
        HGDIOBJ old = SelectObject(dc, pen);
        MoveToEx(dc, px(l[0]), px(l[1]), nullptr);
        LineTo(dc, px(l[2]), px(l[3]));
        SelectObject(dc, old);
        DeleteObject(pen);
    };
    line(kAboutWhiteLine, RGB(255, 255, 255), 2);
    line(kAboutGreyLine, RGB(128, 128, 128), 1);
    EndPaint(window_, &paint);
}

}  // namespace kesrow::win32
