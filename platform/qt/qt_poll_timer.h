// Timer1 on a QTimer: ticks every kTimerIntervalMs while enabled.
#pragma once

#include <QTimer>
#include <functional>

#include "core/main_form.h"
#include "platform/platform.h"

namespace kesrow::qt {

class QtPollTimer : public PollTimer {
public:
    explicit QtPollTimer(std::function<void()> onTick)
    {
        timer_.setInterval(kTimerIntervalMs);
        QObject::connect(&timer_, &QTimer::timeout, std::move(onTick));
    }
    void setEnabled(bool enabled) override { enabled ? timer_.start() : timer_.stop(); }

private:
    QTimer timer_;
};

}  // namespace kesrow::qt
