#include "core/keep/JobReturn.h"

#include <set>

#include "core/keep/JobMoves.h"
#include "core/text/TextFormat.h"
#include "platform/SystemError.h"

namespace kestrave {

namespace {
constexpr std::size_t kJobsBetweenEvents = 32;
} // namespace

JobReturn returnJobs(IOpenFolder& kept, IOpenFolder& queue, IEventLoop& events,
                     IOperationObserver& observer) {
    JobReturn result;
    std::set<std::wstring> taken;
    std::vector<FileEntry> entries;
    // Either folder unlisted: nothing is moved, and the operation says why.
    for (IOpenFolder* folder : {&queue, &kept}) {
        if (const std::uint32_t code = folder->list(entries); code != 0) {
            throw SystemError(code, "cannot list the folder");
        }
        if (folder == &queue) {
            for (const FileEntry& e : entries) {
                taken.insert(nameKey(e.name));
            }
        }
    }
    std::vector<QueuedJob> jobs = queuedJobs(kept, entries, joblimits::kDescribedByChange);
    std::size_t done = 0;
    for (QueuedJob& job : jobs) {
        observer.step(Step::RestoringJobs, done, jobs.size());
        if (++done % kJobsBetweenEvents == 0) {
            events.doEvents();
        }
        bool clash = false;
        for (const std::wstring& f : job.files) {
            clash = clash || taken.count(nameKey(f)) != 0;
        }
        if (clash) {
            result.problems.push_back(
                {ProblemKind::JobNameTaken, 0, job.name}); // its own words say why
            result.left += job.files.size();
            continue;
        }
        const JobMove move = moveJobWhole(
            kept, queue, job, [](const std::function<std::uint32_t()>& f) { return f(); });
        if (move.failure != 0) {
            result.problems.push_back({ProblemKind::JobNotRestored, move.failure, job.name});
            result.problems.insert(result.problems.end(), move.split.begin(), move.split.end());
            result.left += job.files.size() - move.moved.size();
            for (const std::wstring& f : move.moved) {
                taken.insert(nameKey(f)); // in the queue now, split from its job
            }
            continue;
        }
        for (const std::wstring& f : job.files) {
            taken.insert(nameKey(f));
        }
        result.returned.push_back(std::move(job));
    }
    observer.step(Step::RestoringJobs, done, jobs.size());
    return result;
}

} // namespace kestrave
