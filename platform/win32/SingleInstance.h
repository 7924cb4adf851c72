#pragma once
#include "platform/IOperationLock.h"
#include "platform/win32/Handles.h"

namespace kestrave::win32 {

// The machine-wide lock repairs and disables hold, a mutex in the global namespace shared by
// the windows and command lines of every session.
class Win32OperationLock : public IOperationLock {
  public:
    bool tryAcquire() override;
    void release() override;

  private:
    UniqueKernelHandle mutex_;
};

// One main window per session: the first start owns a named mutex; a second one asks the
// first window to come forward instead of opening another.
class SingleWindowInstance {
  public:
    SingleWindowInstance();
    bool first() const { return first_; }
    // Asks the running window to come to the front.
    static void bringFirstForward();
    // The message the running window answers by coming to the front.
    static UINT activationMessage();

  private:
    UniqueKernelHandle mutex_;
    bool first_ = true;
};

} // namespace kestrave::win32
