// frmAbout: the fixed texts, the version history, the picture and the
// etched line, OK and the system information button.
#pragma once

#include <functional>

#include "platform/win32/modal_dialog.h"

namespace kesrow::win32 {

class AboutForm : public ModalDialog {
public:
    explicit AboutForm(std::function<void()> onSysInfo) : onSysInfo_(std::move(onSysInfo)) {}
    ~AboutForm() override;

private:
    void onInit() override;
    void onCommand(int id) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void paintLines();

    std::function<void()> onSysInfo_;
    HICON picture_ = nullptr;
};

}  // namespace kesrow::win32
