#include "core/keep/QueuedJobs.h"

#include <algorithm>
#include <map>

#include "core/keep/UtcTime.h"
#include "core/text/TextFormat.h"
#include "resources/StringIds.h"

namespace kestrave {

namespace {
std::wstring orUnknown(const std::wstring& text, const IStringTable& strings) {
    return text.empty() ? strings.text(IDS_JOB_UNKNOWN) : text;
}
} // namespace

std::wstring jobNameOf(const std::wstring& file) {
    const std::size_t dot = file.rfind(L'.');
    return dot == std::wstring::npos || dot == 0 ? file : file.substr(0, dot);
}

bool isShadowFile(const std::wstring& name) {
    return name.size() > 4 && nameKey(name.substr(name.size() - 4)) == L".SHD";
}

std::vector<QueuedJob> queuedJobs(IOpenFolder& folder, const std::vector<FileEntry>& entries,
                                  std::size_t described) {
    std::map<std::wstring, QueuedJob> byName; // by the name in upper case: the files' own rule
    for (const FileEntry& e : entries) {
        if ((e.attributes & fileattr::kDirectory) != 0) {
            continue;
        }
        QueuedJob& job = byName[nameKey(jobNameOf(e.name))];
        if (job.files.empty()) {
            job.name = jobNameOf(e.name);
        }
        job.files.push_back(e.name);
        job.bytes += e.size;
        job.allocated += e.allocated;
        job.time = std::max(job.time, e.writeTime);
    }
    std::vector<QueuedJob> jobs;
    for (auto& [key, job] : byName) {
        if (jobs.size() < described) {
            for (const std::wstring& file : job.files) {
                std::vector<std::uint8_t> bytes;
                if (isShadowFile(file) && folder.readStart(file, kShadowReadLimit, bytes) == 0) {
                    job.shadow = parseShadowFile(bytes);
                }
            }
        }
        jobs.push_back(std::move(job));
    }
    return jobs;
}

std::vector<std::wstring> jobLines(const std::vector<QueuedJob>& jobs, std::size_t shown,
                                   const IStringTable& strings) {
    std::vector<std::wstring> lines;
    const lang::Language& language = strings.language();
    for (std::size_t i = 0; i < jobs.size() && i < shown; ++i) {
        const QueuedJob& job = jobs[i];
        if (job.shadow) {
            const ShadowJob& s = *job.shadow;
            lines.push_back(
                substitute(strings.text(IDS_JOB_LINE),
                           {orUnknown(s.document, strings), orUnknown(s.owner, strings),
                            orUnknown(s.printer, strings),
                            s.submitted ? utcText(*s.submitted) : strings.text(IDS_JOB_UNKNOWN),
                            groupedNumber(s.pages, language), groupedNumber(job.bytes, language)}));
            continue;
        }
        std::wstring files;
        for (const std::wstring& f : job.files) {
            files += (files.empty() ? L"" : strings.text(IDS_LIST_SEPARATOR)) + f;
        }
        lines.push_back(
            substitute(strings.text(IDS_JOB_FILES_ONLY),
                       {files, groupedNumber(job.bytes, language),
                        job.time != 0 ? utcText(job.time) : strings.text(IDS_JOB_UNKNOWN)}));
    }
    if (jobs.size() > shown) {
        lines.push_back(
            substitute(strings.text(IDS_JOB_MORE), groupedNumber(jobs.size() - shown, language)));
    }
    return lines;
}

} // namespace kestrave
