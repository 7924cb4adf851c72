#include "core/keep/JobMoves.h"

#include "platform/SystemError.h"

namespace kestrave {

JobMove moveJobWhole(IOpenFolder& from, IOpenFolder& to, const QueuedJob& job,
                     const FileStep& step) {
    JobMove result;
    for (const std::wstring& f : job.files) {
        const std::uint32_t code = step([&] { return from.moveEntryTo(f, to); });
        if (code == 0) {
            result.moved.push_back(f);
        } else if (code != err::kFileNotFound) {
            result.failure = code;
            break;
        }
    }
    if (result.failure == 0) {
        return result;
    }
    // Half a job is no job: what went comes back.
    std::vector<std::wstring> stuck;
    for (const std::wstring& f : result.moved) {
        if (const std::uint32_t code = step([&] { return to.moveEntryTo(f, from); }); code != 0) {
            result.split.push_back({ProblemKind::JobSplit, code, f});
            stuck.push_back(f);
        }
    }
    result.moved = std::move(stuck);
    return result;
}

} // namespace kestrave
