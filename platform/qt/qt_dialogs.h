// Message box, input box and beep with Qt Widgets, keeping the Windows
// styles, Japanese button labels and return values.
#pragma once

#include <QString>

#include "core/platform.h"

class QWidget;

namespace kesrow::qt {

class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* owner = nullptr) : owner_(owner) {}

    Answer messageBox(const std::string& prompt, BoxStyle style, const std::string& title) override;
    void violationWarning(const std::string& prompt, const std::string& title) override;
    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;
    void beep() override;

private:
    QWidget* owner_;
};

}  // namespace kesrow::qt
