#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/keep/QueuedJobs.h"
#include "core/spooler/Operation.h"
#include "platform/IFileSystem.h"

namespace kestrave {

// Runs one file operation, retrying it as the caller sees fit (a file the spooler still
// holds, say): 0 or the system's code.
using FileStep = std::function<std::uint32_t(const std::function<std::uint32_t()>&)>;

// What became of a job moved from one folder to another.
struct JobMove {
    std::uint32_t failure = 0;       // 0: every file of it moved; else why one did not
    std::vector<std::wstring> moved; // the files now in the target
    std::vector<Problem> split;      // files that went and could not be taken back (JobSplit)
};

// Moves a job's files one by one; when one fails, those moved before it are taken back, so
// the job stays whole in one folder or the other. Only a take-back that fails too leaves it
// split, and that is said, file by file. A file already gone is passed over.
JobMove moveJobWhole(IOpenFolder& from, IOpenFolder& to, const QueuedJob& job,
                     const FileStep& step);

} // namespace kestrave
