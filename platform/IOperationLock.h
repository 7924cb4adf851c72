#pragma once

namespace kestrave {

// One repair or disable at a time on the machine, whichever Kestrave runs it: the window or
// the command line, in any session.
class IOperationLock {
  public:
    virtual ~IOperationLock() = default;
    // Takes the lock if no one holds it; true when taken (then release() gives it back).
    virtual bool tryAcquire() = 0;
    virtual void release() = 0;
};

} // namespace kestrave
