#include "core/spooler/SpoolerOperation.h"

#include "core/service/ServiceNames.h"
#include "core/system/CommandRunner.h"
#include "platform/SystemError.h"

namespace kestrave {

Outcome SpoolerOperation::run() {
    const OperationLockHold hold(world_.lock, world_.events, observer_, timing_);
    if (!hold.held()) {
        Outcome untouched;
        if (hold.attempt().result == LockAttempt::Result::Failed) {
            untouched.problems.push_back({ProblemKind::LockUnavailable, hold.attempt().code, {}});
        } else {
            untouched.problems.push_back(
                {ProblemKind::AnotherKestraveBusy, 0, {}, Timing::seconds(timing_.lockWait)});
        }
        return untouched;
    }
    return runHeld();
}

bool SpoolerOperation::stopForQueue(ServiceControl& spooler,
                                    const ServiceControl::StateReading& reading,
                                    std::vector<std::wstring>& dependents, Outcome& outcome) {
    if (reading.state == 0) {
        // No spooler at all holds no file; a state that cannot be read may be one that does.
        if (reading.error == err::kServiceDoesNotExist) {
            return true;
        }
        outcome.problems.push_back({ProblemKind::StateUnreadable, reading.error, {}});
        return false;
    }
    if (reading.state != scm::kStopped && reading.state != scm::kStopPending) {
        dependents = steps_.stopDependents(spooler, outcome.problems);
    }
    const bool stopped =
        steps_.stop(spooler, reading.state, true, outcome.hadToEndSpooler, outcome.problems);
    if (outcome.hadToEndSpooler) {
        // Said before what the rest of the operation notes.
        const Problem ended{ProblemKind::SpoolerEnded, 0, {}, Timing::seconds(timing_.stopWait)};
        outcome.notes.insert(outcome.notes.begin(), ended);
    }
    return stopped;
}

void SpoolerOperation::whileStopped(Outcome& outcome, const std::function<void()>& work) {
    ServiceControl spooler = steps_.named(service::kSpooler);
    const ServiceControl::StateReading reading = spooler.readState();
    std::vector<std::wstring> dependents;
    try {
        if (stopForQueue(spooler, reading, dependents, outcome)) {
            work();
        }
    } catch (const std::exception& e) {
        const std::string what = e.what();
        outcome.problems.push_back(
            {ProblemKind::Unexpected, 0, std::wstring(what.begin(), what.end())});
    }
    if (reading.state == 0 && reading.error == err::kServiceDoesNotExist) {
        return;
    }
    outcome.spoolerRunning = steps_.startAndWait(spooler, outcome.problems);
    if (outcome.spoolerRunning) {
        steps_.startDependents(dependents, outcome.dependentsRestarted, outcome.problems);
    }
}

namespace {
const wchar_t* scCommand(std::uint32_t type) {
    return type == scm::kDisabled ? L"sc config spooler start= DISABLED"
                                  : L"sc config spooler start= AUTO";
}
} // namespace

bool enforceStartType(ServiceSteps& steps, const SpoolerWorld& world, const Timing& timing,
                      ServiceControl& spooler, std::uint32_t type, StartTypeWay way,
                      Outcome& outcome) {
    std::uint32_t now = 0;
    if (way == StartTypeWay::ManagerOnly && spooler.startType(now) == 0 && now == type) {
        return false; // nothing to change
    }
    steps.observer().step(Step::SettingStartType, 0, 0);
    std::uint32_t code = 0;
    if (way == StartTypeWay::ScFirst) {
        try {
            if (!CommandRunner(world.processes, world.files, world.events)
                     .runAndWait(scCommand(type), 0, timing.scWait)) {
                outcome.notes.push_back(
                    {ProblemKind::ScOverran, 0, {}, Timing::seconds(timing.scWait)});
            }
        } catch (const SystemError& e) {
            code = e.code(); // no sc: the manager does the same job
        }
    }
    if (spooler.startType(now) == 0 && now == type) {
        return true;
    }
    if (const std::uint32_t refused = spooler.changeStartType(type); refused != 0) {
        outcome.problems.push_back({ProblemKind::StartTypeNotSet,
                                    code != 0 ? code : static_cast<std::uint32_t>(refused),
                                    {}});
        return false;
    }
    return true;
}

} // namespace kestrave
