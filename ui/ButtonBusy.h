#pragma once
#include "ui/Control.h"

namespace kestrave::ui {

// Greys a button out for the length of its handler and brings it back on every way out,
// an error included, so no failure leaves the window unusable.
class ButtonBusy {
  public:
    explicit ButtonBusy(Control& button) : button_(button) { button_.setEnabled(false); }
    ~ButtonBusy() { button_.setEnabled(true); }
    ButtonBusy(const ButtonBusy&) = delete;
    ButtonBusy& operator=(const ButtonBusy&) = delete;

  private:
    Control& button_;
};

} // namespace kestrave::ui
