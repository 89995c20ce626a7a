#include "platform/win32/log_viewer_form.h"

#include "core/texts.h"
#include "core/wide_text_win32.h"
#include "ui/form_layouts.h"

namespace kesrow::win32 {
namespace {
constexpr int kText1 = 100;
}

void LogViewerForm::onInit()
{
    size(kLogViewerClientWidth, kLogViewerClientHeight);
    HWND ok = control(L"BUTTON", kOkCaption, BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, kLogViewerOkButton);
    HWND text1 = control(L"EDIT", "", WS_BORDER | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                         kText1, kLogViewerTextBox);
    SendMessageW(text1, EM_SETLIMITTEXT, 0, 0);  // a long log is shown whole
    SetWindowTextW(text1, Widen(text_).c_str());
    SetFocus(ok);
}

bool LogViewerForm::onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    // A read-only edit box asks for the static colours.
    if (message != WM_CTLCOLORSTATIC || GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != kText1) return false;
    result = GreyTextBox(wParam);
    return true;
}

}  // namespace kesrow::win32
