#pragma once
#include <functional>

#include "platform/IOperationLock.h"

namespace kestrave::fake {

// Held by another Kestrave for a number of tries (-1: for ever), or free.
class FakeOperationLock : public IOperationLock {
  public:
    int heldElsewhereForTries = 0;
    bool held = false;
    int tries = 0;
    int releases = 0;
    bool tryAcquire() override {
        ++tries;
        if (heldElsewhereForTries != 0) {
            if (heldElsewhereForTries > 0) {
                --heldElsewhereForTries;
            }
            return false;
        }
        held = true;
        return true;
    }
    void release() override {
        held = false;
        ++releases;
    }
};

} // namespace kestrave::fake
