#include "core/keep/QueueKeeping.h"

#include "core/keep/KeptRepairs.h"
#include "platform/SystemError.h"

namespace kestrave {

namespace {
constexpr std::size_t kJobsDescribed = 200; // shadow files read for the list, at most

std::size_t megabytes(std::uint64_t bytes) {
    return static_cast<std::size_t>((bytes + (1u << 20) - 1) >> 20);
}
} // namespace

QueueKeeping::QueueKeeping(IFileSystem& files, KeepSettings settings, KeepRequest request)
    : files_(files), settings_(settings),
      keep_(request == KeepRequest::Keep || (request == KeepRequest::AsSet && settings.keep)) {}

void QueueKeeping::prune(std::vector<Problem>& notes) {
    try {
        const auto kept = files_.openKeepFolder(false);
        pruneKeptRepairs(*kept, settings_, files_.now(), 0, 0, notes);
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
    std::uint64_t bytes = 0;
    for (const FileEntry& e : entries) {
        bytes += (e.attributes & fileattr::kDirectory) == 0 ? e.size : 0;
    }
    if (bytes > settings_.bytes) {
        target.notes.push_back({ProblemKind::KeepTooLarge, 0, {}, megabytes(bytes)});
        return target;
    }
    try {
        auto kept = files_.openKeepFolder(true);
        if (bytes > kept->freeBytes() / 2) {
            target.notes.push_back({ProblemKind::KeepNoRoom, 0, {}, megabytes(bytes)});
            return target;
        }
        pruneKeptRepairs(*kept, settings_, files_.now(), 1, bytes, target.notes);
        target.jobs = queuedJobs(queue, entries, kJobsDescribed);
        target.into = makeKeptFolder(*kept, files_.now());
        target.name = target.into->path().substr(kept->path().size() + 1);
        target.above = std::move(kept);
    } catch (const SystemError& e) {
        target.notes.push_back({ProblemKind::KeepFolderRefused, e.code(), {}});
        target.jobs.clear();
    }
    return target;
}

} // namespace kestrave
