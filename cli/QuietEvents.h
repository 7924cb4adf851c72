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
    std::uint64_t milliseconds() override {
        return static_cast<std::uint64_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now().time_since_epoch())
                .count());
    }
};

} // namespace kestrave::cli
