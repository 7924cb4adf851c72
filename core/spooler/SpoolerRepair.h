#pragma once
#include "core/keep/QueueKeeping.h"
#include "core/spooler/SpoolerOperation.h"

namespace kestrave {

// The repair: stop the spooler (its running dependents first, its process ended when it
// hangs), clear the queue once nothing holds it, force the automatic start, start it again
// (and the dependents that ran), and verify each step. Whatever fails on the way, it still
// sets the start type and starts the spooler; every problem is gathered in the outcome.
class SpoolerRepair : public SpoolerOperation {
  public:
    SpoolerRepair(SpoolerWorld world, IOperationObserver& observer, Timing timing = {},
                  KeepRequest keep = KeepRequest::AsSet)
        : SpoolerOperation(world, observer, timing), keep_(keep) {}

  private:
    Outcome runHeld() override;
    void clearQueue(Outcome& outcome, QueueKeeping& keeping);
    // The printers that spool to folders of their own: their *.SPL and *.SHD files.
    void clearPrinterFolders(Outcome& outcome, QueueKeeping& keeping, const std::wstring& queue);

    KeepRequest keep_;
};

} // namespace kestrave
