#include "platform/win32/win_dialogs.h"

#include "core/texts.h"
#include "platform/win32/modal_dialog.h"
#include "core/wide_text_win32.h"

namespace kesrow::win32 {
namespace {

// The input box: the prompt, OK (default) and Cancel beside it, the answer below.
class InputBox : public ModalDialog {
public:
    InputBox(std::string prompt, std::string text) : prompt_(std::move(prompt)), text_(std::move(text)) {}
    const std::string& text() const { return text_; }

private:
    static constexpr int kEditId = 100;

    void onInit() override
    {
        size(6090, 2280);
        HWND edit = control(L"EDIT", text_, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, kEditId, {120, 1740, 5850, 375});
        control(L"BUTTON", kOkCaption, BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, {4740, 120, 1215, 375});
        control(L"BUTTON", kCancelCaption, BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, {4740, 600, 1215, 375});
        HWND label = control(L"STATIC", "", SS_LEFT | SS_NOPREFIX, -1, {120, 120, 4500, 1500});
        SetWindowTextW(label, BoxText(prompt_).c_str());
        // Typing replaces the default.
        SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 0, -1);
    }

    void onCommand(int id) override
    {
        if (id == IDOK) {
            HWND edit = GetDlgItem(window_, kEditId);
            std::wstring typed(GetWindowTextLengthW(edit) + 1, L'\0');
            typed.resize(GetWindowTextW(edit, typed.data(), int(typed.size())));
            text_ = Narrow(typed);
        }
        if (id == IDOK || id == IDCANCEL) end(id);
    }

    std::string prompt_;
    std::string text_;
};

}  // namespace

std::wstring BoxText(const std::string& prompt)
{
    std::wstring text;
    for (wchar_t c : Widen(BoxLineBreaks(prompt))) {
        if (c == L'\n') text += L'\r';
        text += c;
    }
    return text;
}

HWND WinDialogs::owner() const
{
    const HWND form = ModalDialog::Innermost();
    return form ? form : owner_;
}

Answer WinDialogs::messageBox(const std::string& prompt, BoxStyle style, const std::string& title)
{
    UINT type = style == BoxStyle::OkCancel ? MB_OKCANCEL : MB_OK;
    if (style == BoxStyle::Exclamation) type |= MB_ICONEXCLAMATION;
    // The only window of a tray program: the box must come to the front.
    const int answer =
        MessageBoxW(owner(), BoxText(prompt).c_str(), Widen(title).c_str(), type | MB_SETFOREGROUND);
    return answer == IDOK ? Answer::Ok : Answer::Cancel;
}

void WinDialogs::violationWarning(const std::string& prompt, const std::string& title)
{
    messageBox(prompt, BoxStyle::OkOnly, title);
}

std::string WinDialogs::inputBox(const std::string& prompt, const std::string& title, const std::string& defaultText)
{
    InputBox box(prompt, defaultText);
    return box.run(owner(), title) == IDOK ? box.text() : std::string();
}

void WinDialogs::beep()
{
    MessageBeep(MB_OK);
}

}  // namespace kesrow::win32
