#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kestrave {

namespace fileattr {
constexpr std::uint32_t kReadOnly = 0x1;
constexpr std::uint32_t kHidden = 0x2;
constexpr std::uint32_t kSystem = 0x4;
constexpr std::uint32_t kDirectory = 0x10;
constexpr std::uint32_t kArchive = 0x20;
constexpr std::uint32_t kNormal = 0x80;
constexpr std::uint32_t kReparsePoint = 0x400;
} // namespace fileattr

struct FileEntry {
    std::wstring name;
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;      // bytes, to its end: what a copy of it writes out
    std::uint64_t writeTime = 0; // UTC, in 100 ns since 1601 (a FILETIME)
    // The bytes it occupies on its volume: far less than its size for a sparse file, which
    // anyone may make in a queue folder at no cost.
    std::uint64_t allocated = 0;
};

// A folder held open: what is listed and deleted is inside this very folder, whatever is
// renamed, replaced or linked along its path meanwhile.
// Errors: every call that can fail returns 0 or the system's code; none throws.
class IOpenFolder {
  public:
    virtual ~IOpenFolder() = default;
    // The entries directly inside (no "." and "..").
    virtual std::uint32_t list(std::vector<FileEntry>& out) = 0;
    // Deletes the entry of exactly that name inside, a file or a link itself (never what a
    // link points to, never a folder): 0 or the system's code.
    virtual std::uint32_t deleteEntry(const std::wstring& name) = 0;
    // Deletes the files of those names inside together: each is opened for deletion before
    // any is deleted, so one that is held or refused leaves them all (a name already gone is
    // skipped); a read-only file has its attribute reset through its handle first.
    struct Deletion {
        std::uint32_t code = 0; // 0, or the system's code for `failed`
        std::wstring failed;
        std::size_t deleted = 0;
    };
    virtual Deletion deleteEntries(const std::vector<std::wstring>& names) = 0;

    // Moves the file of exactly that name into `target` under the same name, through both
    // folders' handles; across volumes it is copied and flushed to the disk, then deleted here.
    // Never replaces a file in `target`: 0, err::kFileExists (80) for a name taken there, or
    // the system's code; on any failure the file is where it was, and only there.
    virtual std::uint32_t moveEntryTo(const std::wstring& name, IOpenFolder& target) = 0;
    // Makes a new folder of that name inside (never one that exists: err::kFileExists) and
    // holds it open as this one is held.
    virtual std::uint32_t createFolder(const std::wstring& name,
                                       std::unique_ptr<IOpenFolder>& out) = 0;
    // Opens the real folder of that name inside (never a link).
    virtual std::uint32_t openSubfolder(const std::wstring& name,
                                        std::unique_ptr<IOpenFolder>& out) = 0;
    // Deletes the empty folder of that name inside: 0 or the system's code.
    virtual std::uint32_t deleteSubfolder(const std::wstring& name) = 0;
    // At most `limit` bytes from the start of the file of that name inside: 0 or the code.
    virtual std::uint32_t readStart(const std::wstring& name, std::size_t limit,
                                    std::vector<std::uint8_t>& out) = 0;
    // The bytes free to this account on the folder's volume (0 where that cannot be read).
    virtual std::uint64_t freeBytes() = 0;
    // The folder's path, as it was opened.
    virtual std::wstring path() const = 0;
};

// How a folder named by a setting stands, every folder from its drive's root down checked.
enum class FolderStanding {
    Trusted,      // real folders on a local drive, owned by accounts that could act anyway
    NotLocal,     // not on a local drive
    Missing,      // it, or a folder above it, is missing or not a folder
    Link,         // a link or junction on the way
    ForeignOwner, // it or a folder above it owned by another account (a standard user, say)
    OpenToOthers, // another account could delete, rename or re-permission it or one above it
};

class IFileSystem {
  public:
    virtual ~IFileSystem() = default;
    // The system directory, such as C:\Windows\System32, without a trailing backslash.
    virtual std::wstring systemDirectory() = 0;
    // The Windows directory, such as C:\Windows, without a trailing backslash.
    virtual std::wstring windowsDirectory() = 0;
    // The text with its %Name% references replaced from the system's environment, as a
    // REG_EXPAND_SZ value or a service's image path is meant to be read.
    virtual std::wstring expandPath(const std::wstring& text) = 0;
    // The path's attributes, without following a link at its end; none when it is missing.
    virtual std::optional<std::uint32_t> attributes(const std::wstring& path) = 0;
    // The system's own folders, which no setting may hand over to be cleared: the Windows
    // folder, System32, the profiles folder, Program Files (both), ProgramData.
    virtual std::vector<std::wstring> systemFolders() = 0;
    // Opens a folder named by a setting from its drive's root down, each level relative to
    // the one above and checked through the handle it is held by (never what a link points
    // to): real folders on a local drive, each owned by SYSTEM, Administrators or
    // TrustedInstaller, none of which another account could delete, rename or re-permission,
    // nor delete what the folder holds. `out` is the folder itself, held open, when Trusted:
    // what is listed, deleted and restored there goes through that handle.
    virtual FolderStanding openConfiguredFolder(const std::wstring& path,
                                                std::unique_ptr<IOpenFolder>& out) = 0;
    // Opens the folder itself and checks, through the handle, that it is a real folder (not
    // a link or junction) whose final path is `path`. Throws SystemError.
    virtual std::unique_ptr<IOpenFolder> openFolder(const std::wstring& path) = 0;

    // The program's own folder for the print jobs a repair keeps, Kestrave\Cleared in
    // ProgramData: made when `create` and missing, owned by Administrators with a protected
    // DACL for SYSTEM and Administrators alone. Checked through the handles it is held by,
    // every time: every folder above it owned by SYSTEM, Administrators or TrustedInstaller;
    // Kestrave owned by one of those and open to others for reading at most, Cleared open to
    // nobody else. A Kestrave or Cleared that fails its checks is left where it is and its
    // path added to `passedOver`; a folder of the program's own, made under a name no one can
    // predict, is used instead from then on. Throws SystemError (err::kFileNotFound where it
    // is missing and not to be made, or the code of why not even a folder of its own could
    // be had).
    virtual std::unique_ptr<IOpenFolder>
    openKeepFolder(bool create, std::vector<std::wstring>* passedOver = nullptr) = 0;
    // Now, UTC, in 100 ns since 1601 (a FILETIME), as the file system stamps files.
    virtual std::uint64_t now() = 0;
};

} // namespace kestrave
