#pragma once
#include <cstdint>

namespace kestrave {

// What one try for a lock came to.
struct LockAttempt {
    enum class Result {
        Taken,  // ours until release()
        Busy,   // another Kestrave holds it
        Failed, // it could not be tried at all; code says why
    };
    Result result = Result::Failed;
    std::uint32_t code = 0;
};

// One repair or disable at a time on the machine, whichever Kestrave runs it: the window or
// the command line, in any session. Only administrators and SYSTEM can hold it.
class IOperationLock {
  public:
    virtual ~IOperationLock() = default;
    virtual LockAttempt tryAcquire() = 0;
    // Gives back a lock tryAcquire took.
    virtual void release() = 0;
};

} // namespace kestrave
