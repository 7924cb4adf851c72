#pragma once
#include "platform/win32/Win32Api.h"
#include "ui/Timer.h"

namespace kestrave::win32 {

// Keeps a system timer in step with a timer of the form; its id is its place in the form.
class TimerBinding : public ui::TimerPeer {
  public:
    TimerBinding(HWND hwnd, ui::Timer& timer, UINT_PTR id) : hwnd_(hwnd), timer_(timer), id_(id) {
        timer_.attachPeer(this);
        changed();
    }
    ~TimerBinding() override {
        ::KillTimer(hwnd_, id_);
        timer_.attachPeer(nullptr);
    }
    TimerBinding(const TimerBinding&) = delete;
    TimerBinding& operator=(const TimerBinding&) = delete;
    void changed() override {
        if (timer_.enabled() && timer_.interval() > 0) {
            ::SetTimer(hwnd_, id_, static_cast<UINT>(timer_.interval()), nullptr);
        } else {
            ::KillTimer(hwnd_, id_);
        }
    }

  private:
    HWND hwnd_;
    ui::Timer& timer_;
    UINT_PTR id_;
};

} // namespace kestrave::win32
