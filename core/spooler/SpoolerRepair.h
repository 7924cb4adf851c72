#pragma once
#include "core/spooler/Operation.h"
#include "core/spooler/ServiceSteps.h"
#include "platform/IAnsiCodePage.h"
#include "platform/IFileSystem.h"
#include "platform/IRegistry.h"

namespace kestrave {

// What the repair and the disable work on; the window and the command line hand in theirs.
struct SpoolerWorld {
    IServiceManager& scm;
    IRegistry& registry;
    const IAnsiCodePage& ansi;
    IProcesses& processes;
    IFileSystem& files;
    IEventLoop& events;
    IOperationLock& lock;
};

// The repair: stop the spooler (its running dependents first, its process ended when it
// hangs), clear the queue once nothing holds it, force the automatic start, start it again
// (and the dependents that ran), and verify each step. Whatever fails on the way, it still
// sets the start type and starts the spooler; every problem is gathered in the outcome.
class SpoolerRepair {
  public:
    SpoolerRepair(SpoolerWorld world, IOperationObserver& observer, Timing timing = {})
        : world_(world), observer_(observer), timing_(timing),
          steps_(world.scm, world.processes, world.events, observer, timing) {}

    Outcome run();

  private:
    void clearQueue(Outcome& outcome);
    Outcome runHeld();

    SpoolerWorld world_;
    IOperationObserver& observer_;
    Timing timing_;
    ServiceSteps steps_;
};

// Sets the spooler's start type through sc, reads it back and, where sc changed nothing (or
// could not be run), sets it through the manager. True when it reads `type` at the end.
bool enforceStartType(ServiceSteps& steps, const SpoolerWorld& world, ServiceControl& spooler,
                      std::uint32_t type, std::vector<Problem>& problems);

} // namespace kestrave
