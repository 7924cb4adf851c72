#pragma once
#include <chrono>
#include <thread>

#include "platform/IEventLoop.h"

namespace kestrave::cli {

// The command line has no window to keep answering: its waits just wait.
class QuietEvents : public IEventLoop {
  public:
    void doEvents() override {}
    void sleepResponsive(int ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
};

} // namespace kestrave::cli
