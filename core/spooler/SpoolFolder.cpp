#include "core/spooler/SpoolFolder.h"

#include <cwctype>

#include "core/system/RegistryValue.h"
#include "core/text/TextFormat.h"
#include "platform/SystemError.h"

namespace kestrave {

namespace {

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

std::wstring readFolderSetting(IFileSystem& files, const RegistryText& configured) {
    std::wstring folder =
        configured.expandable ? files.expandPath(configured.text) : configured.text;
    while (folder.size() > 3 && folder.back() == L'\\') {
        folder.pop_back();
    }
    return folder;
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
    const std::wstring folder = readFolderSetting(files, configured);
    if (nameKey(folder) == nameKey(system)) {
        return {system, true, {}, 0, nullptr};
    }
    return checkConfiguredFolder(files, folder);
}

SpoolFolderChoice checkConfiguredFolder(IFileSystem& files, const std::wstring& folder) {
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

std::vector<PrinterSpoolFolder> printerSpoolFolders(IFileSystem& files, IRegistry& registry,
                                                    const std::wstring& queue) {
    const std::wstring printers = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";
    std::vector<std::wstring> names;
    std::vector<PrinterSpoolFolder> out;
    if (registry.machineSubKeys(printers, names) != 0) {
        return out;
    }
    for (const std::wstring& printer : names) {
        RegistryText configured;
        if (readRegistryText(registry, printers + L"\\" + printer, L"SpoolDirectory", configured) !=
                0 ||
            configured.text.empty()) {
            continue;
        }
        const std::wstring folder = readFolderSetting(files, configured);
        if (nameKey(folder) == nameKey(queue)) {
            continue; // the spooler's own, cleared as such
        }
        SpoolFolderChoice choice = checkConfiguredFolder(files, folder);
        choice.jobFilesOnly = true;
        out.push_back({printer, std::move(choice)});
    }
    return out;
}

bool isJobFile(const std::wstring& name) {
    if (name.size() <= 4) {
        return false;
    }
    const std::wstring extension = nameKey(name.substr(name.size() - 4));
    return extension == L".SPL" || extension == L".SHD";
}

std::shared_ptr<IOpenFolder> SpoolFolderChoice::open(IFileSystem& files) const {
    return opened ? opened : std::shared_ptr<IOpenFolder>(files.openFolder(path));
}

std::wstring verbatimPath(const std::wstring& path) {
    return isLocalAbsolute(path) ? L"\\\\?\\" + path : path;
}

std::size_t filesARepairDeletes(const std::vector<FileEntry>& entries, bool jobFilesOnly) {
    std::size_t plain = 0;
    bool anyVisible = false;
    for (const FileEntry& e : entries) {
        if (isPlainFile(e) && (!jobFilesOnly || isJobFile(e.name))) {
            ++plain;
            anyVisible =
                anyVisible || (e.attributes & (fileattr::kHidden | fileattr::kSystem)) == 0;
        }
    }
    return anyVisible ? plain : 0;
}

std::uint64_t bytesARepairDeletes(const std::vector<FileEntry>& entries) {
    std::uint64_t bytes = 0;
    if (filesARepairDeletes(entries) != 0) {
        for (const FileEntry& e : entries) {
            bytes += isPlainFile(e) ? e.size : 0;
        }
    }
    return bytes;
}

} // namespace kestrave
