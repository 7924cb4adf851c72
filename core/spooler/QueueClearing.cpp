#include "core/keep/JobMoves.h"
#include "core/spooler/SpoolFolder.h"
#include "core/text/TextFormat.h"
#include "platform/SystemError.h"

namespace kestrave {

namespace {
constexpr int kHeldRetries = 3;
constexpr int kHeldRetryMs = 500;
constexpr std::size_t kFilesBetweenEvents = 64;    // the window answers this often,
constexpr std::uint64_t kMsBetweenEvents = 50;     // or sooner where files go slowly (moves)
constexpr std::size_t kFilesBetweenProgress = 512; // the count on screen moves this often

// What is cleared at once: a job's files where they are kept (all or none go), each file on
// its own where the queue is only deleted.
std::vector<QueuedJob> unitsOf(IOpenFolder& queue, const std::vector<FileEntry>& entries,
                               bool byJob, bool jobFilesOnly) {
    std::vector<FileEntry> plain;
    for (const FileEntry& e : entries) {
        if ((e.attributes & fileattr::kDirectory) == 0 && (!jobFilesOnly || isJobFile(e.name))) {
            plain.push_back(e);
        }
    }
    if (byJob) {
        return queuedJobs(queue, plain, 0);
    }
    std::vector<QueuedJob> units;
    for (const FileEntry& e : plain) {
        units.push_back({e.name, {e.name}, e.size, e.allocated, e.writeTime, std::nullopt});
    }
    return units;
}
} // namespace

QueueClearing clearQueue(const SpoolFolderChoice& choice, IFileSystem& files, IEventLoop& events,
                         IOperationObserver& observer, const KeepChoice& keep) {
    QueueClearing result;
    const std::wstring& folder = choice.path;
    std::shared_ptr<IOpenFolder> opened;
    std::vector<FileEntry> entries;
    std::uint32_t unlisted = 0;
    try {
        opened = choice.open(files);
    } catch (const SystemError& e) {
        unlisted = e.code();
    }
    if (unlisted != 0 || (unlisted = opened->list(entries)) != 0) {
        result.problems.push_back({ProblemKind::QueueUnlisted, unlisted, folder});
        return result;
    }
    const std::size_t total = filesARepairDeletes(entries, choice.jobFilesOnly);
    if (total == 0) {
        return result;
    }
    KeepTarget target = keep ? keep(*opened, entries) : KeepTarget{};
    result.notes = std::move(target.notes);
    if (target.leaveQueue) {
        result.problems = std::move(target.problems);
        result.left = total;
        return result;
    }
    if (target.into) {
        result.keptIn = target.into->path();
        result.keptJobs = std::move(target.jobs);
    }
    // A spooler that has just stopped may hold a file until its process has exited; a file
    // whose oplock is being broken reads as held too.
    const FileStep act = [&](const std::function<std::uint32_t()>& action) {
        std::uint32_t code = action();
        for (int retry = 0; retry < kHeldRetries && code == err::kSharingViolation; ++retry) {
            events.sleepResponsive(kHeldRetryMs);
            code = action();
        }
        return code;
    };
    std::size_t done = 0;
    std::uint64_t answered = events.milliseconds();
    for (const QueuedJob& unit :
         unitsOf(*opened, entries, target.into != nullptr, choice.jobFilesOnly)) {
        std::vector<std::wstring> toDelete = unit.files;
        if (target.into && target.discard.count(nameKey(unit.files.front())) == 0) {
            const JobMove move = moveJobWhole(*opened, *target.into, unit, act);
            result.kept += move.moved.size(); // a split job's files that stay kept, too
            toDelete.clear();
            if (move.failure != 0) {
                result.notes.push_back({ProblemKind::FileNotKept, move.failure, unit.name});
                result.problems.insert(result.problems.end(), move.split.begin(), move.split.end());
                for (const std::wstring& f : unit.files) {
                    if (std::find(move.moved.begin(), move.moved.end(), f) == move.moved.end()) {
                        toDelete.push_back(f);
                    }
                }
            }
        }
        if (toDelete.size() == 1) {
            const std::uint32_t code = act([&] { return opened->deleteEntry(toDelete[0]); });
            if (code == 0) {
                ++result.deleted;
            } else if (code != err::kFileNotFound) {
                result.problems.push_back({ProblemKind::FileNotDeleted, code, toDelete[0]});
            }
        } else if (!toDelete.empty()) {
            // A job not kept goes whole, or stays whole where one of its files is held.
            IOpenFolder::Deletion gone = opened->deleteEntries(toDelete);
            for (int retry = 0; retry < kHeldRetries && gone.code == err::kSharingViolation;
                 ++retry) {
                events.sleepResponsive(kHeldRetryMs);
                gone = opened->deleteEntries(toDelete);
            }
            result.deleted += gone.deleted;
            if (gone.code != 0) {
                for (const std::wstring& f :
                     gone.deleted == 0 ? toDelete : std::vector{gone.failed}) {
                    result.problems.push_back({ProblemKind::FileNotDeleted, gone.code, f});
                }
            }
        }
        const std::size_t before = done;
        done += unit.files.size();
        if (done / kFilesBetweenProgress != before / kFilesBetweenProgress) {
            observer.step(Step::ClearingQueue, done, total);
        }
        if (done / kFilesBetweenEvents != before / kFilesBetweenEvents ||
            events.milliseconds() - answered >= kMsBetweenEvents) {
            events.doEvents();
            answered = events.milliseconds();
        }
    }
    observer.step(Step::ClearingQueue, done, total);
    std::vector<FileEntry> remaining;
    if (const std::uint32_t after = opened->list(remaining); after != 0) {
        result.problems.push_back({ProblemKind::QueueUnlisted, after, folder});
    } else {
        result.left = filesARepairDeletes(remaining, choice.jobFilesOnly);
    }
    if (target.into && result.kept == 0) {
        // Nothing could be moved: no empty folder is left to stand for a kept repair.
        target.into.reset();
        target.above->deleteSubfolder(target.name);
        result.keptIn.clear();
    }
    if (result.kept > 0) {
        result.notes.insert(result.notes.begin(),
                            {ProblemKind::JobsKept, 0, result.keptIn, result.kept});
    }
    const std::size_t named = result.problems.size();
    if (result.left > named) {
        result.problems.push_back({ProblemKind::QueueNotEmpty, 0, folder, result.left});
    }
    return result;
}

} // namespace kestrave
