#include "platform/win32/Win32OpenFolder.h"

#include <vector>

#include "core/text/PathText.h"
#include "platform/SystemError.h"
#include "platform/win32/FileTrust.h"
#include "platform/win32/Handles.h"
#include "platform/win32/RelativeOpen.h"
#include "platform/win32/Win32Api.h"

namespace kestrave::win32 {

namespace {
// What a folder held open is opened with: enough to list it, add to it and check it.
constexpr DWORD kFolderAccess = FILE_LIST_DIRECTORY | FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY |
                                FILE_READ_ATTRIBUTES | READ_CONTROL | SYNCHRONIZE;
} // namespace

std::uint32_t Win32OpenFolder::list(std::vector<FileEntry>& entries) {
    entries.clear();
    // Large batches: a queue of tens of thousands of files in few calls. The first call
    // starts the listing over, so a folder can be listed twice through one handle.
    std::vector<std::uint64_t> buffer(64 * 1024 / sizeof(std::uint64_t));
    FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
    for (;;) {
        if (!::GetFileInformationByHandleEx(folder_.get(), kind, buffer.data(),
                                            static_cast<DWORD>(buffer.size() * 8))) {
            const DWORD code = ::GetLastError();
            if (code == ERROR_NO_MORE_FILES) {
                return 0;
            }
            entries.clear();
            return code;
        }
        kind = FileIdBothDirectoryInfo;
        const auto* bytes = reinterpret_cast<const BYTE*>(buffer.data());
        for (;;) {
            const auto* info = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(bytes);
            std::wstring name(info->FileName, info->FileNameLength / sizeof(wchar_t));
            if (name != L"." && name != L"..") {
                entries.push_back({std::move(name), info->FileAttributes,
                                   static_cast<std::uint64_t>(info->EndOfFile.QuadPart),
                                   static_cast<std::uint64_t>(info->LastWriteTime.QuadPart),
                                   static_cast<std::uint64_t>(info->AllocationSize.QuadPart)});
            }
            if (info->NextEntryOffset == 0) {
                break;
            }
            bytes += info->NextEntryOffset;
        }
    }
}

std::uint32_t Win32OpenFolder::deleteEntry(const std::wstring& name) {
    // Deleted as the handle closes: measured under Wine, quicker than DeleteFileW.
    RelativeOpen how;
    how.access = DELETE;
    how.extraOptions = FILE_DELETE_ON_CLOSE;
    UniqueKernelHandle entry;
    const std::uint32_t code = openRelative(folder_.get(), name, how, entry);
    if (code != ERROR_ACCESS_DENIED) {
        return code;
    }
    // A read-only file refuses FILE_DELETE_ON_CLOSE: its attribute is reset first.
    return deleteEntries({name}).code;
}

IOpenFolder::Deletion Win32OpenFolder::deleteEntries(const std::vector<std::wstring>& names) {
    // Every file opened for deletion first, and only then each marked: one that cannot be
    // opened (held, refused) leaves them all in place.
    RelativeOpen how;
    how.access = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES;
    std::vector<std::pair<const std::wstring*, UniqueKernelHandle>> files;
    for (const std::wstring& name : names) {
        UniqueKernelHandle file;
        const std::uint32_t code = openRelative(folder_.get(), name, how, file);
        if (code == ERROR_FILE_NOT_FOUND) {
            continue; // gone already: as good as deleted
        }
        if (code != 0) {
            return {code, name, 0};
        }
        files.emplace_back(&name, std::move(file));
    }
    Deletion done;
    for (auto& [name, file] : files) {
        if (const std::uint32_t code = markForDeletion(file.get()); code != 0) {
            done.code = code;
            done.failed = *name;
            return done;
        }
        ++done.deleted;
    }
    return done;
}

std::uint32_t Win32OpenFolder::moveEntryTo(const std::wstring& name, IOpenFolder& target) {
    const auto* to = dynamic_cast<Win32OpenFolder*>(&target);
    return to == nullptr ? ERROR_INVALID_PARAMETER
                         : moveBetweenFolders(folder_.get(), to->handle(), name);
}

std::unique_ptr<Win32OpenFolder> Win32OpenFolder::child(const std::wstring& name, DWORD disposition,
                                                        PSECURITY_DESCRIPTOR security) {
    RelativeOpen how;
    how.folder = true;
    how.access = kFolderAccess;
    how.share = FILE_SHARE_READ | FILE_SHARE_WRITE; // not renamed or replaced while held
    how.disposition = disposition;
    how.security = security;
    UniqueKernelHandle opened;
    if (const std::uint32_t code = openRelative(folder_.get(), name, how, opened); code != 0) {
        throw SystemError(code == ERROR_ALREADY_EXISTS ? ERROR_FILE_EXISTS : code,
                          "cannot open the folder inside");
    }
    UniqueFileHandle folder(opened.release());
    if (const std::uint32_t real = checkRealFolder(folder.get()); real != 0) {
        throw SystemError(real, "not a real folder");
    }
    return std::make_unique<Win32OpenFolder>(std::move(folder), path_ + L"\\" + name);
}

std::uint32_t Win32OpenFolder::createFolder(const std::wstring& name,
                                            std::unique_ptr<IOpenFolder>& out) {
    return childAs(name, FILE_CREATE, out);
}

std::uint32_t Win32OpenFolder::openSubfolder(const std::wstring& name,
                                             std::unique_ptr<IOpenFolder>& out) {
    return childAs(name, FILE_OPEN, out);
}

// The interface's answer: the folder, or the code of why not.
std::uint32_t Win32OpenFolder::childAs(const std::wstring& name, DWORD disposition,
                                       std::unique_ptr<IOpenFolder>& out) {
    try {
        out = child(name, disposition);
        return 0;
    } catch (const SystemError& e) {
        return e.code();
    }
}

std::uint32_t Win32OpenFolder::deleteSubfolder(const std::wstring& name) {
    RelativeOpen how;
    how.folder = true;
    how.access = DELETE;
    how.extraOptions = FILE_DELETE_ON_CLOSE;
    UniqueKernelHandle entry;
    return openRelative(folder_.get(), name, how, entry);
}

std::uint32_t Win32OpenFolder::readStart(const std::wstring& name, std::size_t limit,
                                         std::vector<std::uint8_t>& out) {
    RelativeOpen how;
    how.access = FILE_READ_DATA;
    UniqueKernelHandle file;
    if (const std::uint32_t code = openRelative(folder_.get(), name, how, file); code != 0) {
        return code;
    }
    out.assign(limit, 0);
    std::size_t got = 0;
    while (got < limit) {
        DWORD n = 0;
        if (!::ReadFile(file.get(), out.data() + got, static_cast<DWORD>(limit - got), &n,
                        nullptr)) {
            return ::GetLastError();
        }
        if (n == 0) {
            break;
        }
        got += n;
    }
    out.resize(got);
    return 0;
}

std::uint64_t Win32OpenFolder::freeBytes() {
    std::uint64_t free = 0;
    return volumeFreeBytes(folder_.get(), free) == 0 ? free : 0;
}

std::unique_ptr<Win32OpenFolder> openFolderByHandle(const std::wstring& path) {
    // Without FILE_SHARE_DELETE: while it is held, the folder cannot be renamed or replaced.
    const auto open = [&](DWORD access) {
        return UniqueFileHandle(
            ::CreateFileW((L"\\\\?\\" + plainPath(path)).c_str(), access,
                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    };
    UniqueFileHandle folder = open(kFolderAccess);
    if (!folder && ::GetLastError() == ERROR_ACCESS_DENIED) {
        folder = open(FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE); // to read it
    }
    if (!folder) {
        throw SystemError(::GetLastError(), "cannot open the folder");
    }
    if (const std::uint32_t real = checkRealFolder(folder.get()); real != 0) {
        throw SystemError(real, "not a real folder");
    }
    // A link further up, or one the system followed anyway, shows in where the handle went.
    if (!leadsTo(folder.get(), path)) {
        throw SystemError(ERROR_CANT_ACCESS_FILE, "the folder is elsewhere than its name says");
    }
    return std::make_unique<Win32OpenFolder>(std::move(folder), plainPath(path));
}

FolderStanding examineFolderPath(const std::wstring& path) {
    const std::wstring plain = plainPath(path);
    if (plain.size() < 3 || plain[1] != L':' || plain[2] != L'\\') {
        return FolderStanding::NotLocal;
    }
    const UINT drive = ::GetDriveTypeW(plain.substr(0, 3).c_str());
    if (drive != DRIVE_FIXED && drive != DRIVE_REMOVABLE && drive != DRIVE_RAMDISK) {
        return FolderStanding::NotLocal;
    }
    // The root, then each folder below it, down to the folder itself.
    std::vector<std::wstring> levels{plain.substr(0, 3)};
    for (std::size_t i = 3; i < plain.size(); ++i) {
        if (plain[i] == L'\\') {
            levels.push_back(plain.substr(0, i));
        }
    }
    if (plain.size() > 3) {
        levels.push_back(plain);
    }
    for (const std::wstring& level : levels) {
        const UniqueFileHandle h =
            openWithoutFollowing(L"\\\\?\\" + level, FILE_READ_ATTRIBUTES | READ_CONTROL,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
        if (!h) {
            return FolderStanding::Missing;
        }
        if (const std::uint32_t real = checkRealFolder(h.get()); real != 0) {
            return real == ERROR_CANT_ACCESS_FILE ? FolderStanding::Link : FolderStanding::Missing;
        }
        // A link the system followed all the same shows in where the handle went.
        if (!leadsTo(h.get(), level)) {
            return FolderStanding::Link;
        }
        if (checkTrustedOwner(h.get()) != 0) {
            return FolderStanding::ForeignOwner;
        }
    }
    return FolderStanding::Trusted;
}

} // namespace kestrave::win32
