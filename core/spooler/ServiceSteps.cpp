#include "core/spooler/ServiceSteps.h"

#include "core/text/PathText.h"

#include "platform/SystemError.h"

namespace kestrave {

OperationLockHold::OperationLockHold(IOperationLock& lock, IEventLoop& events,
                                     IOperationObserver& observer, const Timing& timing)
    : lock_(lock) {
    // Only another Kestrave at work is worth waiting for (said once); a lock that cannot be
    // tried at all will not become possible by waiting.
    bool said = false;
    waitUntil(events, timing.poll, timing.lockWait, [&] {
        attempt_ = lock_.tryAcquire();
        if (attempt_.result != LockAttempt::Result::Busy) {
            return true;
        }
        if (!said) {
            observer.step(Step::WaitingForOtherKestrave, 0, 0);
            said = true;
        }
        return false;
    });
}

ServiceControl ServiceSteps::named(const std::wstring& name) {
    ServiceControl service(scm_);
    service.setName(name);
    return service;
}

ServiceControl::StateReading ServiceSteps::waitWhile(ServiceControl& service, std::uint32_t pending,
                                                     int ms) {
    ServiceControl::StateReading reading;
    waitUntil(events_, timing_.poll, ms, [&] {
        reading = service.readState();
        return reading.state != pending;
    });
    return reading;
}

std::vector<std::wstring> ServiceSteps::stopDependents(ServiceControl& service,
                                                       std::vector<Problem>& problems) {
    std::vector<DependentService> dependents;
    if (service.activeDependents(dependents) != 0 || dependents.empty()) {
        return {}; // not listed (Wine cannot): the stop itself says whether they are in the way
    }
    observer_.step(Step::StoppingDependents, 0, dependents.size());
    std::vector<std::wstring> stopped;
    // The manager lists them in the order they must stop; they start again in reverse.
    for (const DependentService& d : dependents) {
        ServiceControl dependent = named(d.name);
        bool ended = false;
        std::vector<Problem> own;
        if (stop(dependent, d.state, false, ended, own)) {
            stopped.insert(stopped.begin(), d.name);
        } else {
            const std::uint32_t code = own.empty() ? 0 : own.front().code;
            problems.push_back({ProblemKind::DependentNotStopped, code, d.name});
        }
    }
    return stopped;
}

bool ServiceSteps::runsServiceImage(ServiceControl& service, IOpenedProcess& process) {
    std::wstring configured;
    if (service.imagePath(configured) != 0) {
        return false;
    }
    const std::wstring expected = pathKey(files_.expandPath(programOf(configured)));
    return !expected.empty() && pathKey(process.imagePath()) == expected;
}

ServiceSteps::Ending ServiceSteps::endProcess(ServiceControl& service) {
    const std::uint32_t id = service.processId();
    if (id == 0) {
        // No process: it stopped just now, or cannot be read; the state says which.
        return service.readState().state == scm::kStopped ? Ending::StoppedMeanwhile
                                                          : Ending::NotEnded;
    }
    try {
        // Opened first: from here on the id stays this process's, so what is checked next
        // is what gets ended. Then the service is read again and must still be hung in that
        // same process, a process of its own, running the service's configured program.
        auto process = processes_.open(id);
        ServiceProcess now;
        if (service.readProcess(now) != 0) {
            return Ending::NotEnded;
        }
        if (now.state == scm::kStopped) {
            return Ending::StoppedMeanwhile;
        }
        if (now.state != scm::kStopPending || now.processId != id ||
            (now.serviceType & scm::kOwnProcess) == 0 ||
            (now.serviceType & scm::kSharedProcess) != 0 || !runsServiceImage(service, *process)) {
            return Ending::NotEnded;
        }
        observer_.step(Step::EndingHungSpooler, 0, 0);
        process->terminate();
        if (waitUntil(events_, timing_.poll, timing_.endWait,
                      [&] { return process->waitExit(0); })) {
            return Ending::Ended;
        }
    } catch (const SystemError&) {
        // Gone already, or not ours to end: the stop stays unfinished unless it stopped.
        if (service.readState().state == scm::kStopped) {
            return Ending::StoppedMeanwhile;
        }
    }
    return Ending::NotEnded;
}

bool ServiceSteps::stop(ServiceControl& service, std::uint32_t state, bool endWhenHung, bool& ended,
                        std::vector<Problem>& problems) {
    if (state == scm::kStopped) {
        return true;
    }
    if (state == scm::kStartPending || state == scm::kContinuePending ||
        state == scm::kPausePending) {
        // A service between two states cannot take a stop: let it settle first.
        observer_.step(Step::WaitingForRun, 0, 0);
        state = waitWhile(service, state, timing_.runWait).state;
        if (state == scm::kStopped) {
            return true;
        }
    }
    if (state != scm::kStopPending) {
        observer_.step(Step::Stopping, 0, 0);
        if (const std::uint32_t refused = service.stop(); refused != 0) {
            // It may have stopped by itself meanwhile.
            if (service.readState().state == scm::kStopped) {
                return true;
            }
            problems.push_back({ProblemKind::StopRefused, refused, {}});
            return false;
        }
    }
    observer_.step(Step::WaitingForStop, 0, 0);
    if (waitUntil(events_, timing_.poll, timing_.stopWait,
                  [&] { return service.readState().state == scm::kStopped; })) {
        return true;
    }
    // Still stopping: a print driver or processor hangs it. Wait on its process, not on its
    // state (a service whose process was ended may read "stop pending" for good).
    if (endWhenHung) {
        switch (endProcess(service)) {
        case Ending::Ended:
            ended = true;
            return true;
        case Ending::StoppedMeanwhile:
            return true;
        case Ending::NotEnded:
            break;
        }
    }
    problems.push_back({ProblemKind::StopTimedOut, 0, {}, Timing::seconds(timing_.stopWait)});
    return false;
}

bool ServiceSteps::startAndWait(ServiceControl& service, std::vector<Problem>& problems) {
    observer_.step(Step::Starting, 0, 0);
    if (const std::uint32_t refused = service.start();
        refused != 0 && refused != err::kServiceAlreadyRunning) {
        problems.push_back({ProblemKind::StartRefused, refused, {}});
        return false;
    }
    observer_.step(Step::WaitingForRun, 0, 0);
    ServiceControl::StateReading reading;
    bool first = true;
    waitUntil(events_, timing_.poll, timing_.runWait, [&] {
        reading = service.readState();
        // Stopped after a while means it gave up starting; right after the request, it may
        // not have left the stopped state yet.
        const bool gaveUp = reading.state == scm::kStopped && !first;
        first = false;
        return reading.state == scm::kRunning || gaveUp;
    });
    if (reading.state != scm::kRunning) {
        problems.push_back(
            {ProblemKind::StartTimedOut, reading.error, {}, Timing::seconds(timing_.runWait)});
        return false;
    }
    return true;
}

void ServiceSteps::startDependents(const std::vector<std::wstring>& names,
                                   std::vector<std::wstring>& started,
                                   std::vector<Problem>& problems) {
    if (names.empty()) {
        return;
    }
    observer_.step(Step::StartingDependents, 0, names.size());
    for (const std::wstring& name : names) {
        ServiceControl dependent = named(name);
        const std::uint32_t refused = dependent.start();
        if (refused == 0 || refused == err::kServiceAlreadyRunning) {
            started.push_back(name);
        } else {
            problems.push_back({ProblemKind::DependentNotStarted, refused, name});
        }
    }
}

} // namespace kestrave
