#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/service/ServiceControl.h"
#include "core/spooler/Operation.h"
#include "platform/IEventLoop.h"
#include "platform/IFileSystem.h"
#include "platform/IOperationLock.h"
#include "platform/IProcesses.h"

namespace kestrave {

// How long the operations wait, in milliseconds.
struct Timing {
    int stopWait = 30000; // for a service to stop, before its process is ended
    int endWait = 10000;  // for an ended process to be gone
    int runWait = 30000;  // for a started service to run
    int poll = 250;       // between two readings of a state
    int lockWait = 60000; // for another Kestrave's operation to end
    int scWait = 30000;   // for sc to set the start type, before it is ended
    static std::size_t seconds(int ms) { return static_cast<std::size_t>(ms / 1000); }
};

// Checks `done` at once and again after every `poll` milliseconds, the window answering
// meanwhile, until it holds (true) or `boundMs` have passed (false). Every wait of the repair
// and the disable is this one.
template <typename Done> bool waitUntil(IEventLoop& events, int poll, int boundMs, Done done) {
    for (int waited = 0;; waited += poll) {
        if (done()) {
            return true;
        }
        if (waited >= boundMs) {
            return false;
        }
        events.sleepResponsive(poll);
    }
}

// Holds the machine-wide operation lock for a scope: waits up to the bound for another
// Kestrave to finish, saying so once; released on every way out. A lock that cannot be tried
// at all is not waited for.
class OperationLockHold {
  public:
    OperationLockHold(IOperationLock& lock, IEventLoop& events, IOperationObserver& observer,
                      const Timing& timing);
    ~OperationLockHold() {
        if (held()) {
            lock_.release();
        }
    }
    OperationLockHold(const OperationLockHold&) = delete;
    OperationLockHold& operator=(const OperationLockHold&) = delete;
    bool held() const { return attempt_.result == LockAttempt::Result::Taken; }
    // The last try: Busy when another Kestrave kept it past the bound, Failed with its code.
    const LockAttempt& attempt() const { return attempt_; }

  private:
    IOperationLock& lock_;
    LockAttempt attempt_;
};

// The service steps the repair and the disable share: stopping with its dependents, waiting
// on states with the window answering, ending a hung service's own process, starting.
class ServiceSteps {
  public:
    ServiceSteps(IServiceManager& scm, IProcesses& processes, IFileSystem& files,
                 IEventLoop& events, IOperationObserver& observer, const Timing& timing)
        : scm_(scm), processes_(processes), files_(files), events_(events), observer_(observer),
          timing_(timing) {}

    // Reads the state until it is not `pending` or ms have passed; returns the last reading.
    ServiceControl::StateReading waitWhile(ServiceControl& service, std::uint32_t pending, int ms);

    // Stops the running dependents of the service, waiting for each; returns those it stopped,
    // in the order to start them again. Where they cannot be listed, none.
    std::vector<std::wstring> stopDependents(ServiceControl& service,
                                             std::vector<Problem>& problems);

    // Brings a service to stopped: asks it to stop unless it is stopping already, waits, and
    // when it hangs ends its own process and waits for that. True once stopped.
    bool stop(ServiceControl& service, std::uint32_t state, bool endWhenHung, bool& ended,
              std::vector<Problem>& problems);

    // Asks the service to start and waits until it runs. True once running.
    bool startAndWait(ServiceControl& service, std::vector<Problem>& problems);

    void startDependents(const std::vector<std::wstring>& names, std::vector<std::wstring>& started,
                         std::vector<Problem>& problems);

    IOperationObserver& observer() { return observer_; }
    IEventLoop& events() { return events_; }
    ServiceControl named(const std::wstring& name);

  private:
    enum class Ending { Ended, StoppedMeanwhile, NotEnded };
    // Ends the hung service's process, and only that: see the definition.
    Ending endProcess(ServiceControl& service);
    // Whether an opened process runs the program the service is configured with.
    bool runsServiceImage(ServiceControl& service, IOpenedProcess& process);

    IServiceManager& scm_;
    IProcesses& processes_;
    IFileSystem& files_;
    IEventLoop& events_;
    IOperationObserver& observer_;
    Timing timing_;
};

} // namespace kestrave
