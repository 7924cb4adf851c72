#include "core/spooler/SpoolFolder.h"

#include "core/system/RegistryValue.h"
#include <cwctype>

#include "platform/SystemError.h"

namespace kestrave {

namespace {
constexpr int kHeldRetries = 3;
constexpr int kHeldRetryMs = 500;
constexpr std::size_t kFilesBetweenEvents = 64;    // the window answers this often
constexpr std::size_t kFilesBetweenProgress = 512; // the count on screen moves this often

bool isPlainFile(const FileEntry& e) {
    return (e.attributes & fileattr::kDirectory) == 0;
}

// A drive-letter path such as C:\Windows\System32\spool\PRINTERS.
bool isLocalAbsolute(const std::wstring& path) {
    return path.size() >= 3 && std::iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\';
}

bool isRealFolder(IFileSystem& files, const std::wstring& path) {
    const auto attributes = files.attributes(path);
    return attributes && (*attributes & fileattr::kDirectory) != 0 &&
           (*attributes & fileattr::kReparsePoint) == 0;
}
} // namespace

std::wstring spoolFolder(IFileSystem& files, IRegistry& registry) {
    RegistryText configured;
    readRegistryText(registry, L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers",
                     L"DefaultSpoolDirectory", configured);
    std::wstring folder =
        configured.expandable ? files.expandPath(configured.text) : configured.text;
    while (folder.size() > 3 && folder.back() == L'\\') {
        folder.pop_back();
    }
    if (isLocalAbsolute(folder) && folder.find(L"\\..") == std::wstring::npos &&
        isRealFolder(files, folder)) {
        return folder;
    }
    return files.systemDirectory() + L"\\spool\\PRINTERS";
}

std::wstring verbatimPath(const std::wstring& path) {
    return isLocalAbsolute(path) ? L"\\\\?\\" + path : path;
}

QueueClearing clearQueue(const std::wstring& folder, IFileSystem& files, IEventLoop& events,
                         IOperationObserver& observer) {
    QueueClearing result;
    const std::wstring base = verbatimPath(folder);
    std::vector<FileEntry> entries;
    try {
        entries = files.list(base);
    } catch (const SystemError& e) {
        result.problems.push_back({ProblemKind::QueueUnlisted, e.code(), folder});
        return result;
    }
    std::size_t total = 0;
    bool anyVisible = false;
    for (const FileEntry& e : entries) {
        if (isPlainFile(e)) {
            ++total;
            anyVisible =
                anyVisible || (e.attributes & (fileattr::kHidden | fileattr::kSystem)) == 0;
        }
    }
    // A folder with only hidden or system files holds no print job: it is left as it is.
    if (!anyVisible) {
        return result;
    }
    std::size_t done = 0;
    for (const FileEntry& e : entries) {
        if (!isPlainFile(e)) {
            continue;
        }
        const std::wstring path = base + L"\\" + e.name;
        std::uint32_t code = files.deleteFile(path);
        // A spooler that has just stopped may hold a file until its process has exited.
        for (int retry = 0; retry < kHeldRetries && code == err::kSharingViolation; ++retry) {
            events.sleepResponsive(kHeldRetryMs);
            code = files.deleteFile(path);
        }
        if (code == 0) {
            ++result.deleted;
        } else if (code != err::kFileNotFound) { // already gone is as good as deleted
            result.problems.push_back({ProblemKind::FileNotDeleted, code, e.name});
        }
        if (++done % kFilesBetweenProgress == 0) {
            observer.step(Step::ClearingQueue, done, total);
        }
        if (done % kFilesBetweenEvents == 0) {
            events.doEvents();
        }
    }
    observer.step(Step::ClearingQueue, done, total);
    try {
        for (const FileEntry& e : files.list(base)) {
            result.left += isPlainFile(e) ? 1 : 0;
        }
    } catch (const SystemError& e) {
        result.problems.push_back({ProblemKind::QueueUnlisted, e.code(), folder});
    }
    const std::size_t named = result.problems.size();
    if (result.left > named) {
        result.problems.push_back({ProblemKind::QueueNotEmpty, 0, folder, result.left});
    }
    return result;
}

} // namespace kestrave
