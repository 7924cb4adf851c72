#include "core/spooler/SpoolFolder.h"

#include <cwctype>

#include "core/system/RegistryValue.h"
#include "core/text/TextFormat.h"
#include "platform/SystemError.h"

namespace kestrave {

namespace {
constexpr int kHeldRetries = 3;
constexpr int kHeldRetryMs = 500;
constexpr std::size_t kFilesBetweenEvents = 64;    // the window answers this often,
constexpr std::uint64_t kMsBetweenEvents = 50;     // or sooner where files go slowly (moves)
constexpr std::size_t kFilesBetweenProgress = 512; // the count on screen moves this often

bool isPlainFile(const FileEntry& e) {
    return (e.attributes & fileattr::kDirectory) == 0;
}

// A drive-letter path such as C:\Windows\System32\spool\PRINTERS.
bool isLocalAbsolute(const std::wstring& path) {
    return path.size() >= 3 && std::iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\';
}

// No "." or ".." component, no empty one, no stream or wildcard: a path that names exactly
// one folder, the same one whichever way it is read.
bool isPlainPath(const std::wstring& path) {
    std::size_t from = 3;
    while (from <= path.size()) {
        const std::size_t end = std::min(path.find(L'\\', from), path.size());
        const std::wstring part = path.substr(from, end - from);
        if (part.empty() || part == L"." || part == L".." ||
            part.find_first_of(L":*?\"<>|/") != std::wstring::npos) {
            return false;
        }
        from = end + 1;
    }
    return true;
}

SpoolFolderChoice refuse(std::wstring path, ProblemKind why, std::uint32_t code = 0) {
    return {std::move(path), false, why, code, nullptr};
}
} // namespace

SpoolFolderChoice chooseSpoolFolder(IFileSystem& files, IRegistry& registry) {
    const std::wstring system = files.systemDirectory() + L"\\spool\\PRINTERS";
    RegistryText configured;
    const std::uint32_t read =
        readRegistryText(registry, L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers",
                         L"DefaultSpoolDirectory", configured);
    if (read == err::kFileNotFound) {
        return {system, true, {}, 0, nullptr}; // not configured: the system's own
    }
    if (read != 0) {
        return refuse(L"", ProblemKind::SpoolFolderUnreadable, read);
    }
    std::wstring folder =
        configured.expandable ? files.expandPath(configured.text) : configured.text;
    while (folder.size() > 3 && folder.back() == L'\\') {
        folder.pop_back();
    }
    if (nameKey(folder) == nameKey(system)) {
        return {system, true, {}, 0, nullptr};
    }
    if (!isLocalAbsolute(folder)) {
        return refuse(folder, ProblemKind::SpoolFolderNotLocal);
    }
    if (folder.size() <= 3) {
        return refuse(folder, ProblemKind::SpoolFolderSystem); // a drive's root
    }
    if (!isPlainPath(folder)) {
        return refuse(folder, ProblemKind::SpoolFolderNotLocal);
    }
    for (const std::wstring& own : files.systemFolders()) {
        if (nameKey(own) == nameKey(folder)) {
            return refuse(folder, ProblemKind::SpoolFolderSystem);
        }
    }
    std::unique_ptr<IOpenFolder> opened;
    switch (files.openConfiguredFolder(folder, opened)) {
    case FolderStanding::Trusted:
        return {folder, true, {}, 0, std::move(opened)};
    case FolderStanding::OpenToOthers:
        return refuse(folder, ProblemKind::SpoolFolderOpenToOthers);
    case FolderStanding::NotLocal:
        return refuse(folder, ProblemKind::SpoolFolderNotLocal);
    case FolderStanding::Missing:
        return refuse(folder, ProblemKind::SpoolFolderMissing);
    case FolderStanding::Link:
        return refuse(folder, ProblemKind::SpoolFolderLinked);
    case FolderStanding::ForeignOwner:
        return refuse(folder, ProblemKind::SpoolFolderForeignOwner);
    }
    return refuse(folder, ProblemKind::SpoolFolderMissing);
}

std::shared_ptr<IOpenFolder> SpoolFolderChoice::open(IFileSystem& files) const {
    return opened ? opened : std::shared_ptr<IOpenFolder>(files.openFolder(path));
}

std::wstring verbatimPath(const std::wstring& path) {
    return isLocalAbsolute(path) ? L"\\\\?\\" + path : path;
}

std::size_t filesARepairDeletes(const std::vector<FileEntry>& entries) {
    std::size_t plain = 0;
    bool anyVisible = false;
    for (const FileEntry& e : entries) {
        if (isPlainFile(e)) {
            ++plain;
            anyVisible =
                anyVisible || (e.attributes & (fileattr::kHidden | fileattr::kSystem)) == 0;
        }
    }
    return anyVisible ? plain : 0;
}

QueueClearing clearQueue(const SpoolFolderChoice& choice, IFileSystem& files, IEventLoop& events,
                         IOperationObserver& observer, const KeepChoice& keep) {
    QueueClearing result;
    const std::wstring& folder = choice.path;
    std::shared_ptr<IOpenFolder> opened;
    std::vector<FileEntry> entries;
    try {
        opened = choice.open(files);
        entries = opened->list();
    } catch (const SystemError& e) {
        result.problems.push_back({ProblemKind::QueueUnlisted, e.code(), folder});
        return result;
    }
    const std::size_t total = filesARepairDeletes(entries);
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
    std::size_t done = 0;
    std::uint64_t answered = events.milliseconds();
    for (const FileEntry& e : entries) {
        if (!isPlainFile(e)) {
            continue;
        }
        const auto act = [&](auto&& action) {
            std::uint32_t code = action();
            // A spooler that has just stopped may hold a file until its process has exited.
            for (int retry = 0; retry < kHeldRetries && code == err::kSharingViolation; ++retry) {
                events.sleepResponsive(kHeldRetryMs);
                code = action();
            }
            return code;
        };
        bool moved = false;
        bool gone = false; // already gone is as good as cleared
        if (target.into && target.discard.count(nameKey(e.name)) == 0) {
            const std::uint32_t code =
                act([&] { return opened->moveEntryTo(e.name, *target.into); });
            moved = code == 0;
            gone = code == err::kFileNotFound;
            if (!moved && !gone) {
                result.notes.push_back({ProblemKind::FileNotKept, code, e.name});
            }
        }
        if (moved) {
            ++result.kept;
        } else if (!gone) {
            const std::uint32_t code = act([&] { return opened->deleteEntry(e.name); });
            if (code == 0) {
                ++result.deleted;
            } else if (code != err::kFileNotFound) {
                result.problems.push_back({ProblemKind::FileNotDeleted, code, e.name});
            }
        }
        if (++done % kFilesBetweenProgress == 0) {
            observer.step(Step::ClearingQueue, done, total);
        }
        if (done % kFilesBetweenEvents == 0 ||
            events.milliseconds() - answered >= kMsBetweenEvents) {
            events.doEvents();
            answered = events.milliseconds();
        }
    }
    observer.step(Step::ClearingQueue, done, total);
    try {
        result.left = filesARepairDeletes(opened->list());
    } catch (const SystemError& e) {
        result.problems.push_back({ProblemKind::QueueUnlisted, e.code(), folder});
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
