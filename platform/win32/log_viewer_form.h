// logtimes: the connection log read-only in one scrolling box, OK below it.
#pragma once

#include <string>

#include "platform/win32/modal_dialog.h"

namespace kesrow::win32 {

class LogViewerForm : public ModalDialog {
public:
    explicit LogViewerForm(std::string text) : text_(std::move(text)) {}

private:
    void onInit() override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

    std::string text_;
};

}  // namespace kesrow::win32
