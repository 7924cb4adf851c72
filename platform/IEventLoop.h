#pragma once
#include <cstdint>

namespace kestrave {

// Lets a long operation on the interface thread keep the windows answering while it waits.
class IEventLoop {
  public:
    virtual ~IEventLoop() = default;
    // Handles every pending window event, then returns.
    virtual void doEvents() = 0;
    // Waits about ms milliseconds while window events go on being handled.
    virtual void sleepResponsive(int ms) = 0;
    // Milliseconds on a clock that only moves forward, for bounding waits.
    virtual std::uint64_t milliseconds() = 0;
};

} // namespace kestrave
