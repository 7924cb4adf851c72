#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/keep/ShadowFile.h"
#include "platform/IFileSystem.h"
#include "platform/IStringTable.h"

namespace kestrave {

// A print job as its files in a queue folder show it: the files sharing a name before their
// extension (FP00012.SPL and FP00012.SHD), and what its shadow file says, where it says it.
struct QueuedJob {
    std::wstring name;               // the shared part, FP00012
    std::vector<std::wstring> files; // its files, as listed
    std::uint64_t bytes = 0;         // to the files' ends: what a copy writes out
    std::uint64_t allocated = 0;     // what the files occupy on their volume
    std::uint64_t time = 0;          // the newest of its files' times
    std::optional<ShadowJob> shadow;
};

// How many jobs are read through and named, for every place that lists them.
namespace joblimits {
// Shadow files read for what a change did (the jobs kept, the jobs put back).
inline constexpr std::size_t kDescribedByChange = 200;
// Shadow files read for a look before anything changes (the diagnosis, the restore's question).
inline constexpr std::size_t kDescribedAtAGlance = 50;
// Jobs named a line each, the rest counted: in a message, in the report, on the command line.
inline constexpr std::size_t kListedInMessage = 20;
inline constexpr std::size_t kListedInReport = 30;
inline constexpr std::size_t kListedOnCommandLine = 50;
} // namespace joblimits

// The jobs among a folder's plain files, by name. Shadow files are read for the first
// `described` jobs only (a queue of thousands is listed, not read through).
std::vector<QueuedJob> queuedJobs(IOpenFolder& folder, const std::vector<FileEntry>& entries,
                                  std::size_t described);

// The jobs in words, a line each, at most `shown` of them and then how many more.
std::vector<std::wstring> jobLines(const std::vector<QueuedJob>& jobs, std::size_t shown,
                                   const IStringTable& strings);

// The shadow file's extension, which a job moves and returns with its spool file.
bool isShadowFile(const std::wstring& name);
// The part of a file's name before its extension, as jobs are grouped.
std::wstring jobNameOf(const std::wstring& file);

} // namespace kestrave
