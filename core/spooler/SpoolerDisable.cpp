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
    outcome.spoolerStopped = steps_.stop(spooler, reading.state, false, ended, outcome.problems);
    if (outcome.spoolerStopped) {
        outcome.startTypeChanged =
            enforceStartType(steps_, world_, timing_, spooler, scm::kDisabled,
                             StartTypeWay::ScFirst, outcome);
    }
    return outcome;
}

} // namespace kestrave
