#pragma once
#include "core/spooler/SpoolerOperation.h"

namespace kestrave {

// The disable: stop the spooler (waiting for it) and, once it reads stopped, set its start
// type to disabled, verified. A spooler that cannot be stopped is not disabled.
class SpoolerDisable : public SpoolerOperation {
  public:
    SpoolerDisable(SpoolerWorld world, IOperationObserver& observer, Timing timing = {})
        : SpoolerOperation(world, observer, timing) {}

  private:
    Outcome runHeld() override;
};

} // namespace kestrave
