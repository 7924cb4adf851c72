#pragma once
#include "platform/IOperationLock.h"

namespace kestrave::fake {

// Held by another Kestrave for a number of tries (-1: for ever), refused with a code, or free.
class FakeOperationLock : public IOperationLock {
  public:
    int heldElsewhereForTries = 0;
    std::uint32_t failsWith = 0;
    bool held = false;
    int tries = 0;
    int releases = 0;
    LockAttempt tryAcquire() override {
        ++tries;
        if (failsWith != 0) {
            return {LockAttempt::Result::Failed, failsWith};
        }
        if (heldElsewhereForTries != 0) {
            if (heldElsewhereForTries > 0) {
                --heldElsewhereForTries;
            }
            return {LockAttempt::Result::Busy, 0};
        }
        held = true;
        return {LockAttempt::Result::Taken, 0};
    }
    void release() override {
        held = false;
        ++releases;
    }
};

} // namespace kestrave::fake
