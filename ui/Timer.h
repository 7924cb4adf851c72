#pragma once
#include <functional>
#include <string>

namespace kestrave::ui {

class Form;

class TimerPeer {
  public:
    virtual ~TimerPeer() = default;
    virtual void changed() = 0;
};

// Fires onTick every interval milliseconds while enabled and its form is loaded.
class Timer {
  public:
    Timer(Form& form, std::wstring name);
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    const std::wstring& name() const { return name_; }
    int interval() const { return interval_; }
    void setInterval(int ms) {
        interval_ = ms;
        notify();
    }
    bool enabled() const { return enabled_; }
    void setEnabled(bool on) {
        enabled_ = on;
        notify();
    }
    // One tick, as the backend delivers it.
    void tick() {
        if (enabled_ && onTick) {
            onTick();
        }
    }

    std::function<void()> onTick;
    void attachPeer(TimerPeer* p) { peer_ = p; }
    TimerPeer* peer() const { return peer_; }

  private:
    void notify() {
        if (peer_ != nullptr) {
            peer_->changed();
        }
    }
    std::wstring name_;
    int interval_ = 0;
    bool enabled_ = false;
    TimerPeer* peer_ = nullptr;
};

} // namespace kestrave::ui
