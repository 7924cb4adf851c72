#pragma once
#include <string>

#include "core/spooler/SpoolerOperation.h"

namespace kestrave {

// Puts the print jobs a repair kept back in the queue: the most recent kept repair, or the
// one named. Under the operation lock it stops the spooler as the repair does, moves the jobs
// back (see returnJobs), removes the kept folder once it is empty, and starts the spooler
// and the dependents it stopped. keptIn and keptJobs of the outcome say from where and what.
class SpoolerRestore : public SpoolerOperation {
  public:
    SpoolerRestore(SpoolerWorld world, IOperationObserver& observer, Timing timing = {},
                   std::wstring name = {})
        : SpoolerOperation(world, observer, timing), name_(std::move(name)) {}

  private:
    Outcome runHeld() override;
    void putBack(IOpenFolder& kept, const std::wstring& name, Outcome& outcome);

    std::wstring name_;
};

} // namespace kestrave
