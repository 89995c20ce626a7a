// Message box, input box and beep with Qt Widgets, keeping the Windows
// styles, Japanese button labels and return values.
#pragma once

#include <QString>

#include "platform/platform.h"

class QWidget;

namespace kesrow::qt {

inline constexpr const char* kOkLabel = "OK";
inline constexpr const char* kCancelLabel = "キャンセル";
inline constexpr int kCancelAnswer = 2;  // IDCANCEL

// A CR alone is a line break in the boxes' prompts.
QString PromptText(const std::string& prompt);

class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* owner = nullptr) : owner_(owner) {}

    // style 0: OK; 1: OK and Cancel; 48: OK with the exclamation icon.
    // Returns 1 for OK, 2 for Cancel or a box closed without OK.
    int messageBox(const std::string& prompt, int style, const std::string& title) override;
    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;
    void beep() override;

private:
    QWidget* owner_;
};

}  // namespace kesrow::qt
