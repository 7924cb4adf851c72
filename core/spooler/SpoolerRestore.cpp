#include "core/spooler/SpoolerRestore.h"

#include "core/keep/JobReturn.h"
#include "core/keep/KeptRepairs.h"
#include "core/service/ServiceNames.h"
#include "core/spooler/SpoolFolder.h"
#include "platform/SystemError.h"

namespace kestrave {

void SpoolerRestore::putBack(IOpenFolder& kept, const std::wstring& name, Outcome& outcome) {
    const SpoolFolderChoice folder = chooseSpoolFolder(world_.files, world_.registry);
    if (!folder.usable) {
        outcome.problems.push_back(folder.problem());
        return;
    }
    std::shared_ptr<IOpenFolder> queue;
    std::unique_ptr<IOpenFolder> repair;
    std::uint32_t code = 0;
    try {
        queue = folder.open(world_.files);
    } catch (const SystemError& e) {
        code = e.code();
    }
    if (code == 0) {
        code = kept.openSubfolder(name, repair);
    }
    if (code != 0) {
        outcome.problems.push_back({ProblemKind::JobNotRestored, code, name});
        return;
    }
    JobReturn back = returnJobs(*repair, *queue, world_.events, steps_.observer());
    outcome.jobsRestored = back.returned.size();
    outcome.keptJobs = std::move(back.returned);
    outcome.problems.insert(outcome.problems.end(), back.problems.begin(), back.problems.end());
    if (back.left == 0 && back.problems.empty()) {
        repair.reset();
        kept.deleteSubfolder(name); // emptied: nothing of that repair is kept any more
    }
}

Outcome SpoolerRestore::runHeld() {
    Outcome outcome;
    std::unique_ptr<IOpenFolder> kept;
    std::wstring chosen;
    try {
        kept = world_.files.openKeepFolder(false);
        chosen = keptRepairToRestore(*kept, world_.files.now(), name_);
    } catch (const SystemError& e) {
        outcome.problems.push_back(
            {ProblemKind::NothingKept, e.code() == err::kFileNotFound ? 0 : e.code(), {}});
        return outcome;
    }
    if (chosen.empty()) {
        outcome.problems.push_back(name_.empty() ? Problem{ProblemKind::NothingKept, 0, {}}
                                                 : Problem{ProblemKind::KeptNotFound, 0, name_});
        return outcome;
    }
    outcome.keptIn = kept->path() + L"\\" + chosen;
    // Stopped for the move, started again whatever happened to it.
    whileStopped(outcome, [&] { putBack(*kept, chosen, outcome); });
    return outcome;
}

} // namespace kestrave
