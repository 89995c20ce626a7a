// A modal dialog built from an in-memory template without items: each form
// makes its controls on opening, placed in twips at the screen's resolution
// as the forms were laid out.
#pragma once

#include <windows.h>

#include <string>

#include "ui/form_layouts.h"

namespace kesrow::win32 {

class ModalDialog {
public:
    virtual ~ModalDialog();

    // Shows the dialog over owner; returns the id of the button that closed
    // it (IDCANCEL for Esc and the frame's close).
    INT_PTR run(HWND owner, const std::string& caption);
    // The form open innermost on the user-interface thread; nullptr when none is.
    static HWND Innermost() { return innermost_; }

protected:
    // Make the controls, in tab order; size() the client area first.
    virtual void onInit() = 0;
    // A button was pressed; the default ends the dialog with that id.
    virtual void onCommand(int id);
    // Colours and painting; return true when handled.
    virtual bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);

    int px(int twips) const { return MulDiv(twips, dpi_, 1440); }
    void size(int clientWidthTwips, int clientHeightTwips);
    HWND control(const wchar_t* className, const std::string& text, DWORD style, int id, const TwipsRect& at,
                 HFONT font = nullptr);
    // A Japanese UI font of the given size; deleted with the dialog.
    HFONT font(const wchar_t* face, int points, int weight = FW_NORMAL);
    void end(INT_PTR result) { EndDialog(window_, result); }

    HWND window_ = nullptr;
    HFONT uiFont_ = nullptr;

private:
    static INT_PTR CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    static HWND innermost_;
    int dpi_ = 96;
    HFONT fonts_[4] = {};
    int fontCount_ = 0;
};

// The light grey of the forms' read-only text boxes, which ask for the
// static colours: sets it on the box's device context and gives the brush
// to answer with, one for the program's life however often the forms open.
INT_PTR GreyTextBox(WPARAM deviceContext);

// The design's default face, for the screens that have it; others get the
// nearest Japanese font.
inline constexpr const wchar_t* kUiFace = L"ＭＳ Ｐゴシック";

}  // namespace kesrow::win32
