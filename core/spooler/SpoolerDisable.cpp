#include "core/spooler/SpoolerDisable.h"
#include "core/service/ServiceNames.h"

namespace kestrave {

Outcome SpoolerDisable::runHeld() {
    Outcome outcome;
    ServiceControl spooler = steps_.named(service::kSpooler);
    const ServiceControl::StateReading reading = spooler.readState();
    if (reading.state == 0) {
        outcome.problems.push_back({ProblemKind::StateUnreadable, reading.error, {}});
        return outcome;
    }
    bool ended = false;
    if (steps_.stop(spooler, reading.state, false, ended, outcome.problems)) {
        outcome.startTypeChanged = enforceStartType(steps_, world_, timing_, spooler,
                                                    scm::kDisabled, StartTypeWay::ScFirst, outcome);
    }
    // The verdict is the state at the end: something may start the spooler again while its
    // start type is being changed.
    const ServiceControl::StateReading last = spooler.readState();
    outcome.spoolerStopped = last.state == scm::kStopped;
    return outcome;
}

} // namespace kestrave
