// Timer1 for front ends: the main form's ticks paced on its share worker,
// so that an idle tick wakes no thread but that one.
#pragma once

#include "core/main_form.h"

namespace kesrow {

class WorkerTimer : public PollTimer {
public:
    void setEnabled(bool enabled) override { form->PaceTimer1(enabled); }
    MainForm* form = nullptr;  // set once the form exists, before Form_Load
};

}  // namespace kesrow
