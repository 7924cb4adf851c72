#pragma once
#include <string>

#include "ui/Control.h"

namespace kestrave::ui {

// Greys a button out for the length of its handler, optionally with a caption that says it
// is working, and brings it back on every way out, an error included, so no failure leaves
// the window unusable.
class ButtonBusy {
  public:
    explicit ButtonBusy(Control& button, const std::wstring& busyCaption = {})
        : button_(button), caption_(button.caption()), swapCaption_(!busyCaption.empty()) {
        button_.setEnabled(false);
        if (swapCaption_) {
            button_.setCaption(busyCaption);
        }
    }
    ~ButtonBusy() {
        if (swapCaption_) {
            button_.setCaption(caption_);
        }
        button_.setEnabled(true);
    }
    ButtonBusy(const ButtonBusy&) = delete;
    ButtonBusy& operator=(const ButtonBusy&) = delete;

  private:
    Control& button_;
    std::wstring caption_;
    bool swapCaption_;
};

} // namespace kestrave::ui
