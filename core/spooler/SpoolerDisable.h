#pragma once
#include "core/spooler/SpoolerRepair.h"

namespace kestrave {

// The disable: stop the spooler (waiting for it) and, once it reads stopped, set its start
// type to disabled, verified. A spooler that cannot be stopped is not disabled.
class SpoolerDisable {
  public:
    SpoolerDisable(SpoolerWorld world, IOperationObserver& observer, Timing timing = {})
        : world_(world), steps_(world.scm, world.processes, world.events, observer, timing) {}

    Outcome run();

  private:
    SpoolerWorld world_;
    ServiceSteps steps_;
};

} // namespace kestrave
