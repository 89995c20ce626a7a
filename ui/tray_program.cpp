#include "ui/tray_program.h"

#include <utility>

namespace kesrow {

TrayProgram::TrayProgram(const FrontEndServices& s, std::function<void()> onUnloaded, FormTimings timings)
    : platform_{s.tray, s.host, s.dialogs, *this, s.clock, s.process, s.dialUp, s.uiThread},
      ui_{s.forms, s.sysInfo},
      onUnloaded_(std::move(onUnloaded)),
      form_(platform_, std::move(timings), [this] {
          unloaded_ = true;
          if (onUnloaded_) onUnloaded_();
      }),
      menu_(form_, ui_)
{
}

void TrayProgram::start()
{
    // A close asked before the loop ran has nothing left to start.
    platform_.uiThread.post([this] {
        if (!closing_) form_.RunEvent([this] { form_.Form_Load(); });
    });
}

// The main form runs its unload path once, whoever asks.
void TrayProgram::close()
{
    closing_ = true;
    form_.RunEvent([this] { form_.Unload([this] { platform_.process.end(); }); });
}

void TrayProgram::rightClick()
{
    form_.RunEvent([this] { menu_.IconTray1_RightClick(2, 0, 0); });
}

void TrayProgram::choose(int index)
{
    form_.RunEvent([this, index] { menu_.Choose(index); });
}

void TrayProgram::endItem()
{
    form_.RunEvent([this] { form_.MenuEnd_Click(); });
}

void TrayProgram::setEnabled(bool enabled)
{
    form_.PaceTimer1(enabled);
}

}  // namespace kesrow
