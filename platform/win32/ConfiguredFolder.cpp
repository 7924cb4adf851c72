#include <vector>

#include "core/text/PathText.h"
#include "platform/SystemError.h"
#include "platform/win32/FileTrust.h"
#include "platform/win32/Win32OpenFolder.h"

namespace kestrave::win32 {

namespace {
FolderStanding standingOf(HANDLE folder) {
    if (checkTrustedOwner(folder) != 0) {
        return FolderStanding::ForeignOwner;
    }
    return checkNoOthersMayAlter(folder) == 0 ? FolderStanding::Trusted
                                              : FolderStanding::OpenToOthers;
}
} // namespace

FolderStanding openCheckedChain(const std::wstring& path, std::unique_ptr<Win32OpenFolder>& out) {
    const std::wstring plain = plainPath(path);
    if (plain.size() < 3 || plain[1] != L':' || plain[2] != L'\\') {
        return FolderStanding::NotLocal;
    }
    const UINT drive = ::GetDriveTypeW(plain.substr(0, 3).c_str());
    if (drive != DRIVE_FIXED && drive != DRIVE_REMOVABLE && drive != DRIVE_RAMDISK) {
        return FolderStanding::NotLocal;
    }
    // The root by its name, once; every level below only relative to the one above, held
    // without FILE_SHARE_DELETE: what is checked is what is then opened, and stays put.
    UniqueFileHandle root(::CreateFileW(
        (L"\\\\?\\" + plain.substr(0, 3)).c_str(),
        FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | READ_CONTROL | SYNCHRONIZE,
        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!root) {
        return FolderStanding::Missing;
    }
    if (const FolderStanding s = standingOf(root.get()); s != FolderStanding::Trusted) {
        return s;
    }
    auto level = std::make_unique<Win32OpenFolder>(std::move(root), plain.substr(0, 2));
    for (std::size_t from = 3; from < plain.size();) {
        const std::size_t end = std::min(plain.find(L'\\', from), plain.size());
        try {
            level = level->child(plain.substr(from, end - from), FILE_OPEN);
        } catch (const SystemError& e) {
            return e.code() == ERROR_CANT_ACCESS_FILE ? FolderStanding::Link
                                                      : FolderStanding::Missing;
        }
        if (const FolderStanding s = standingOf(level->handle()); s != FolderStanding::Trusted) {
            return s;
        }
        from = end + 1;
    }
    out = std::move(level);
    return FolderStanding::Trusted;
}

} // namespace kestrave::win32
