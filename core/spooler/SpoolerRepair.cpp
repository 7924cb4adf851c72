#include "core/spooler/SpoolerRepair.h"
#include "core/service/ServiceNames.h"

#include "core/plugins/QuarantineJournal.h"
#include "core/spooler/SpoolFolder.h"
#include "core/system/RegistryValue.h"
#include "platform/SystemError.h"

namespace kestrave {

namespace {
void take(Outcome& outcome, QueueClearing& cleared) {
    outcome.filesDeleted += cleared.deleted;
    outcome.filesKept += cleared.kept;
    outcome.problems.insert(outcome.problems.end(), cleared.problems.begin(),
                            cleared.problems.end());
    outcome.notes.insert(outcome.notes.end(), cleared.notes.begin(), cleared.notes.end());
}
} // namespace

void SpoolerRepair::clearQueue(Outcome& outcome, QueueKeeping& keeping) {
    const SpoolFolderChoice folder = chooseSpoolFolder(world_.files, world_.registry);
    if (!folder.usable) {
        outcome.problems.push_back(folder.problem()); // nothing deleted, nowhere else either
        return;
    }
    const auto attributes = world_.files.attributes(folder.path);
    if (attributes && (*attributes & fileattr::kDirectory) != 0) {
        steps_.observer().step(Step::ClearingQueue, 0, 0);
        QueueClearing cleared = kestrave::clearQueue(folder, world_.files, world_.events,
                                                     steps_.observer(), keeping.choice());
        outcome.keptIn = std::move(cleared.keptIn);
        outcome.keptJobs = std::move(cleared.keptJobs);
        take(outcome, cleared);
    }
    clearPrinterFolders(outcome, keeping, folder.path);
}

void SpoolerRepair::clearPrinterFolders(Outcome& outcome, QueueKeeping& keeping,
                                        const std::wstring& queue) {
    for (const PrinterSpoolFolder& printer :
         printerSpoolFolders(world_.files, world_.registry, queue)) {
        const SpoolFolderChoice& folder = printer.folder;
        if (!folder.usable) {
            if (folder.refused != ProblemKind::SpoolFolderMissing) {
                outcome.problems.push_back(folder.problem()); // nothing there to clear else
            }
            continue;
        }
        // What a repair keeps goes back to the spooler's own queue: a printer's own jobs
        // could not be put back where they were, so while keeping they stay as they are.
        KeepChoice leave;
        if (keeping.keeps()) {
            leave = [&](IOpenFolder&, const std::vector<FileEntry>&) {
                KeepTarget target;
                target.leaveQueue = true;
                target.problems.push_back({ProblemKind::PrinterFolderNotKept, 0, folder.path});
                return target;
            };
        }
        QueueClearing cleared =
            kestrave::clearQueue(folder, world_.files, world_.events, steps_.observer(), leave);
        take(outcome, cleared);
    }
}

Outcome SpoolerRepair::runHeld() {
    Outcome outcome;
    QueueKeeping keeping(world_.files, readKeepSettings(world_.registry), keep_);
    keeping.prune(outcome.notes);
    ServiceControl spooler = steps_.named(service::kSpooler);
    const ServiceControl::StateReading reading = spooler.readState();
    std::vector<std::wstring> dependents;
    // Whatever goes wrong while stopping and clearing, the start type and the start still
    // happen: a repair must not leave the spooler stopped. The error is told with the rest.
    try {
        const bool stopped = stopForQueue(spooler, reading, dependents, outcome);
        if (stopped) {
            // A plug-in quarantine cut short is settled while the spooler cannot load it.
            plugins::settleQuarantine(world_.registry, outcome.notes);
            clearQueue(outcome, keeping);
        }
    } catch (const std::exception& e) {
        const std::string what = e.what();
        outcome.problems.push_back(
            {ProblemKind::Unexpected, 0, std::wstring(what.begin(), what.end())});
    } catch (...) {
        outcome.problems.push_back({ProblemKind::Unexpected, 0, L"?"});
    }
    if (reading.state == 0 && reading.error == err::kServiceDoesNotExist) {
        return outcome; // nothing to configure or start
    }
    // From here on, whatever happened before: the start type, then the start.
    std::uint32_t start = 0;
    if (readRegistryDword(world_.registry, L"SYSTEM\\CurrentControlSet\\Services\\Spooler",
                          L"Start", start) != 0) {
        // Missing or not a number as the manager keeps it: no guess, the manager sets it.
        outcome.startTypeChanged = enforceStartType(
            steps_, world_, timing_, spooler, scm::kAutoStart, StartTypeWay::ManagerOnly, outcome);
    } else if (start > scm::kAutoStart) {
        outcome.startTypeChanged = enforceStartType(
            steps_, world_, timing_, spooler, scm::kAutoStart, StartTypeWay::ScFirst, outcome);
    }
    outcome.spoolerRunning = steps_.startAndWait(spooler, outcome.problems);
    if (outcome.spoolerRunning) {
        steps_.startDependents(dependents, outcome.dependentsRestarted, outcome.problems);
    }
    return outcome;
}

} // namespace kestrave
