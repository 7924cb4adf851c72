#include "core/keep/JobReturn.h"

#include <set>

#include "core/text/TextFormat.h"
#include "platform/SystemError.h"

namespace kestrave {

namespace {
constexpr std::size_t kJobsDescribed = 200;
constexpr std::size_t kJobsBetweenEvents = 32;
} // namespace

JobReturn returnJobs(IOpenFolder& kept, IOpenFolder& queue, IEventLoop& events,
                     IOperationObserver& observer) {
    JobReturn result;
    std::set<std::wstring> taken;
    for (const FileEntry& e : queue.list()) {
        taken.insert(nameKey(e.name));
    }
    std::vector<QueuedJob> jobs = queuedJobs(kept, kept.list(), kJobsDescribed);
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
        std::vector<std::wstring> moved;
        std::uint32_t failure = 0;
        for (const std::wstring& f : job.files) {
            failure = kept.moveEntryTo(f, queue);
            if (failure != 0) {
                break;
            }
            moved.push_back(f);
        }
        if (failure != 0) {
            // Half a job is no job: what went back comes out again.
            for (const std::wstring& f : moved) {
                queue.moveEntryTo(f, kept);
            }
            result.problems.push_back({ProblemKind::JobNotRestored, failure, job.name});
            result.left += job.files.size();
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
