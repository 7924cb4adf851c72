#pragma once
#include <functional>

#include "platform/win32/Win32Api.h"

namespace kestrave::win32 {

// What the program's loops do with a message before the window gets it.
class MessageFilter {
  public:
    virtual ~MessageFilter() = default;
    // True when the message was handled (F1, the keys that move between controls).
    virtual bool filter(MSG& msg) = 0;
};

// Every loop of the program (the main one, a modal window's, a wait's) takes its messages
// here, so that the program's quit ends them all, and each ends on it exactly once.
class MessageLoop {
  public:
    explicit MessageLoop(MessageFilter& filter) : filter_(filter) {}

    // Runs until the program's quit arrives; returns its exit code.
    int run();
    // Runs while keepGoing() holds and the quit has not arrived.
    template <typename Pred> void runWhile(Pred keepGoing) {
        MSG msg;
        while (keepGoing() && next(msg)) {
            dispatch(msg);
        }
    }
    // Handles every pending message, then returns.
    void doEvents();
    // Waits about ms milliseconds while messages go on being handled.
    void sleepResponsive(int ms);
    void dispatch(MSG& msg);
    // Called once, the first time the queue runs dry: everything shown has painted.
    std::function<void()> onFirstIdle;

  private:
    // The next message; false once the program's quit has arrived.
    bool next(MSG& msg);

    MessageFilter& filter_;
    bool quitting_ = false; // the program's quit message has been taken from the queue
    int exitCode_ = 0;
};

} // namespace kestrave::win32
