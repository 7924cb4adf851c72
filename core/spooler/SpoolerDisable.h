#pragma once
#include "core/spooler/SpoolerRepair.h"

namespace kestrave {

// The disable: stop the spooler (waiting for it) and, once it reads stopped, set its start
// type to disabled, verified. A spooler that cannot be stopped is not disabled.
class SpoolerDisable {
  public:
    SpoolerDisable(SpoolerWorld world, IOperationObserver& observer, Timing timing = {})
        : world_(world), observer_(observer), timing_(timing),
          steps_(world.scm, world.processes, world.events, observer, timing) {}

    Outcome run();

  private:
    Outcome runHeld();

    SpoolerWorld world_;
    IOperationObserver& observer_;
    Timing timing_;
    ServiceSteps steps_;
};

} // namespace kestrave
