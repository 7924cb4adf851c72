#include "core/keep/QueueKeeping.h"

#include <algorithm>

#include "core/keep/KeptRepairs.h"
#include "core/text/TextFormat.h"
#include "platform/SystemError.h"

namespace kestrave {

namespace {
std::size_t megabytes(std::uint64_t bytes) {
    return static_cast<std::size_t>((bytes + (1u << 20) - 1) >> 20);
}

// Drops the largest jobs, by `size`, until what stays is within `room`; each one dropped is
// named with `why`. Anyone may plant a file in the queue: it is that file that goes, never
// the kept repairs beside it or the rest of the queue.
template <typename Size>
void dropLargest(std::vector<QueuedJob>& jobs, std::uint64_t room, Size size, ProblemKind why,
                 std::vector<QueuedJob>& dropped, std::vector<Problem>& notes) {
    std::uint64_t total = 0;
    for (const QueuedJob& j : jobs) {
        total += size(j);
    }
    std::stable_sort(jobs.begin(), jobs.end(),
                     [&](const QueuedJob& a, const QueuedJob& b) { return size(a) < size(b); });
    while (total > room && !jobs.empty()) {
        total -= size(jobs.back());
        notes.push_back({why, 0, jobs.back().name, megabytes(size(jobs.back()))});
        dropped.push_back(std::move(jobs.back()));
        jobs.pop_back();
    }
}
} // namespace

QueueKeeping::QueueKeeping(IFileSystem& files, KeepSettings settings, KeepRequest request)
    : files_(files), settings_(settings),
      keep_(request == KeepRequest::Keep || (request == KeepRequest::AsSet && settings.keep)) {}

void QueueKeeping::prune(std::vector<Problem>& notes) {
    try {
        const auto kept = files_.openKeepFolder(false);
        pruneKeptRepairs(*kept, settings_, files_.now(), 0, notes);
    } catch (const SystemError&) {
        // None yet, or one that is not ours: nothing of ours to prune. Keeping says why.
    }
}

KeepChoice QueueKeeping::choice() {
    if (!keep_) {
        return {};
    }
    return [this](IOpenFolder& queue, const std::vector<FileEntry>& entries) {
        return decide(queue, entries);
    };
}

KeepTarget QueueKeeping::decide(IOpenFolder& queue, const std::vector<FileEntry>& entries) {
    KeepTarget target;
    std::vector<std::wstring> passedOver;
    const auto notePassedOver = [&] {
        for (const std::wstring& path : passedOver) {
            target.notes.push_back({ProblemKind::KeepFolderPassedOver, 0, path});
        }
        passedOver.clear();
    };
    try {
        auto kept = files_.openKeepFolder(true, &passedOver);
        notePassedOver();
        const std::uint64_t now = files_.now();
        pruneKeptRepairs(*kept, settings_, now, 1, target.notes);
        std::uint64_t keptBytes = 0;
        for (const KeptRepair& r : listKeptRepairs(*kept, now)) {
            keptBytes += r.bytes;
        }
        // Two sizes: what the jobs occupy counts against the bound beside what is kept;
        // what a copy to another volume would write out (a sparse file in full) against
        // half the free space.
        std::vector<QueuedJob> jobs = queuedJobs(queue, entries, 0);
        std::vector<QueuedJob> dropped;
        dropLargest(
            jobs, settings_.bytes > keptBytes ? settings_.bytes - keptBytes : 0,
            [](const QueuedJob& j) { return j.allocated; }, ProblemKind::KeepTooLarge, dropped,
            target.notes);
        dropLargest(
            jobs, kept->freeBytes() / 2, [](const QueuedJob& j) { return j.bytes; },
            ProblemKind::KeepNoRoom, dropped, target.notes);
        for (const QueuedJob& j : dropped) {
            for (const std::wstring& f : j.files) {
                target.discard.insert(nameKey(f));
            }
        }
        std::vector<FileEntry> keeping;
        for (const FileEntry& e : entries) {
            if (target.discard.count(nameKey(e.name)) == 0) {
                keeping.push_back(e);
            }
        }
        target.jobs = queuedJobs(queue, keeping, joblimits::kDescribedByChange);
        if (target.jobs.empty()) {
            return target; // nothing left to keep: no folder is made for it
        }
        target.into = makeKeptFolder(*kept, now);
        target.name = target.into->path().substr(kept->path().size() + 1);
        target.above = std::move(kept);
    } catch (const SystemError& e) {
        // Not even a folder of the program's own: what was to be kept stays where it is.
        notePassedOver();
        KeepTarget left;
        left.notes = std::move(target.notes);
        left.leaveQueue = true;
        left.problems.push_back({ProblemKind::KeepFolderRefused, e.code(), {}});
        return left;
    }
    return target;
}

} // namespace kestrave
