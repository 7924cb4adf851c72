#pragma once
#include <functional>

#include "core/spooler/Operation.h"
#include "core/spooler/ServiceSteps.h"
#include "platform/IFileSystem.h"
#include "platform/IRegistry.h"

namespace kestrave {

// What the repair and the disable work on; the window and the command line hand in theirs.
struct SpoolerWorld {
    IServiceManager& scm;
    IRegistry& registry;
    IProcesses& processes;
    IFileSystem& files;
    IEventLoop& events;
    IOperationLock& lock;
};

// What the repair and the disable share: their world, their service steps, and the
// machine-wide lock they hold while they run.
class SpoolerOperation {
  public:
    virtual ~SpoolerOperation() = default;
    SpoolerOperation(const SpoolerOperation&) = delete;
    SpoolerOperation& operator=(const SpoolerOperation&) = delete;

    // Runs under the operation lock; when another Kestrave holds it past the bound, nothing
    // is touched and the outcome says so.
    Outcome run();

  protected:
    SpoolerOperation(SpoolerWorld world, IOperationObserver& observer, Timing timing)
        : world_(world), observer_(observer), timing_(timing),
          steps_(world.scm, world.processes, world.files, world.events, observer, timing) {}
    virtual Outcome runHeld() = 0;
    // Brings the spooler to stopped so nothing holds its queue: its running dependents
    // first (returned in `dependents`, to start again), its process ended if it hangs. True
    // when it is stopped, or there is no spooler at all; problems go in the outcome.
    bool stopForQueue(ServiceControl& spooler, const ServiceControl::StateReading& reading,
                      std::vector<std::wstring>& dependents, Outcome& outcome);
    // Stops the spooler as above, does `work` while it is stopped (an error thrown there is a
    // problem of the outcome), and starts it again with its dependents, whatever happened.
    void whileStopped(Outcome& outcome, const std::function<void()>& work);

    SpoolerWorld world_;
    IOperationObserver& observer_;
    Timing timing_;
    ServiceSteps steps_;
};

enum class StartTypeWay {
    ScFirst,     // through sc, then the manager where sc changed nothing (or could not run)
    ManagerOnly, // through the manager alone, unless it reads `type` already
};
// Sets the spooler's start type and reads it back. True when it was set and reads `type` at
// the end; false when it could not be set, or (manager only) needed no change.
// sc runs for timing.scWait at most; past that it is ended, the manager sets the type, and
// the overrun is a note in the outcome.
bool enforceStartType(ServiceSteps& steps, const SpoolerWorld& world, const Timing& timing,
                      ServiceControl& spooler, std::uint32_t type, StartTypeWay way,
                      Outcome& outcome);

} // namespace kestrave
