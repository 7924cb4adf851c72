#include "core/diagnosis/FolderFindings.h"

#include <algorithm>

#include "core/text/TextFormat.h"
#include "core/keep/QueuedJobs.h"
#include "core/keep/UtcTime.h"
#include "core/spooler/OutcomeText.h"
#include "core/spooler/SpoolFolder.h"
#include "core/system/RegistryValue.h"
#include "platform/SystemError.h"
#include "resources/StringIds.h"

namespace kestrave {

namespace {
Finding info(std::wstring text) {
    return {Finding::Kind::Info, std::move(text)};
}
Finding problem(std::wstring text) {
    return {Finding::Kind::Problem, std::move(text)};
}

struct Queue {
    std::uint64_t bytes = 0;
    std::int64_t oldestSeconds = 0;
    std::size_t olderThanADay = 0;
};

// The jobs waiting, by document and owner where their shadow files say so. Read through the
// folder's own handle, as the repair would clear it; a folder that will not open is left
// to the line before, which says what is there.
void queueJobs(DiagnosisWorld& w, const IStringTable& s, const std::wstring& path,
               std::vector<Finding>& out) {
    std::vector<QueuedJob> jobs;
    try {
        const auto folder = w.files.openFolder(path);
        std::vector<FileEntry> entries;
        if (folder->list(entries) != 0) {
            return;
        }
        jobs = queuedJobs(*folder, entries, joblimits::kDescribedAtAGlance);
    } catch (const SystemError&) {
        return;
    }
    if (jobs.empty()) {
        return;
    }
    out.push_back(info(s.text(IDS_DX_QUEUE_JOBS)));
    for (const std::wstring& line : jobLines(jobs, joblimits::kListedInReport, s)) {
        out.push_back(info(L"  " + line));
    }
}

Queue summarize(const std::vector<QueuedFile>& files) {
    Queue q;
    for (const QueuedFile& f : files) {
        q.bytes += f.size;
        q.oldestSeconds = std::max(q.oldestSeconds, f.ageSeconds);
        q.olderThanADay += f.ageSeconds > kSecondsPerDay ? 1 : 0;
    }
    return q;
}
} // namespace

ReportSection spoolFolderSection(DiagnosisWorld& w, const IStringTable& s,
                                 std::uint32_t spoolerState) {
    ReportSection sec{IDS_DX_FOLDER, {}};
    const SpoolFolderChoice choice = chooseSpoolFolder(w.files, w.registry);
    if (!choice.usable) {
        // The same words the repair uses: it will not clear this folder either.
        sec.findings.push_back(
            problem(describeProblems(Operation::Repair, {choice.problem()}, s, w.systemMessage)));
        return sec;
    }
    const std::wstring& path = choice.path;
    const auto attributes = w.files.attributes(path);
    std::vector<QueuedFile> files;
    bool readable = attributes && (*attributes & fileattr::kDirectory) != 0 &&
                    (*attributes & fileattr::kReparsePoint) == 0;
    try {
        if (readable) {
            files = w.sources.queuedFiles(verbatimPath(path));
        }
    } catch (const SystemError&) {
        readable = false;
    }
    if (!readable) {
        sec.findings.push_back(problem(substitute(s.text(IDS_DXP_FOLDER), path)));
        return sec;
    }
    if (files.empty()) {
        sec.findings.push_back(info(substitute(s.text(IDS_DX_FOLDER_EMPTY), path)));
        return sec;
    }
    const Queue q = summarize(files);
    sec.findings.push_back(info(
        substitute(s.text(IDS_DX_FOLDER_LINE), {path, groupedNumber(files.size(), s.language()),
                                                groupedNumber(q.bytes, s.language()),
                                                decimal(q.oldestSeconds / 3600)})));
    queueJobs(w, s, path, sec.findings);
    if (q.olderThanADay > 0 && spoolerState == scm::kRunning) {
        sec.findings.push_back(
            problem(substitute(s.text(IDS_DXP_OLD_FILES), decimal(q.olderThanADay))));
    }
    return sec;
}

void printerOwnFolder(DiagnosisWorld& w, const IStringTable& s, const std::wstring& printer,
                      std::vector<Finding>& out) {
    RegistryText configured;
    if (readRegistryText(w.registry,
                         L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\" + printer,
                         L"SpoolDirectory", configured) != 0 ||
        configured.text.empty()) {
        return;
    }
    const std::wstring folder =
        configured.expandable ? w.files.expandPath(configured.text) : configured.text;
    const auto attributes = w.files.attributes(folder);
    if (!attributes || (*attributes & fileattr::kDirectory) == 0) {
        out.push_back(
            problem(substitute(s.text(IDS_DXP_PRINTER_FOLDER_MISSING), {printer, folder})));
        return;
    }
    if ((*attributes & fileattr::kReparsePoint) != 0) {
        out.push_back(problem(substitute(s.text(IDS_DXP_PRINTER_FOLDER_LINK), {printer, folder})));
        return;
    }
    std::vector<QueuedFile> files;
    try {
        files = w.sources.queuedFiles(verbatimPath(folder));
    } catch (const SystemError& e) {
        out.push_back(info(substitute(s.text(IDS_DX_PRINTER_FOLDER_UNREADABLE),
                                      {printer, folder, w.systemMessage(e.code())})));
        return;
    }
    const Queue q = summarize(files);
    out.push_back(info(substitute(s.text(IDS_DX_PRINTER_QUEUE),
                                  {printer, folder, groupedNumber(files.size(), s.language()),
                                   groupedNumber(q.bytes, s.language()),
                                   decimal(q.oldestSeconds / 3600)})));
}

} // namespace kestrave
