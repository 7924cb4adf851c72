#pragma once
#include <memory>
#include <string>

#include "platform/IFileSystem.h"
#include "platform/win32/Handles.h"

namespace kestrave::win32 {

// A folder held by its handle: everything inside is reached relative to that handle.
class Win32OpenFolder : public IOpenFolder {
  public:
    Win32OpenFolder(UniqueFileHandle folder, std::wstring path)
        : folder_(std::move(folder)), path_(std::move(path)) {}
    HANDLE handle() const { return folder_.get(); }

    std::uint32_t list(std::vector<FileEntry>& out) override;
    std::uint32_t deleteEntry(const std::wstring& name) override;
    Deletion deleteEntries(const std::vector<std::wstring>& names) override;
    std::uint32_t moveEntryTo(const std::wstring& name, IOpenFolder& target) override;
    std::uint32_t createFolder(const std::wstring& name,
                               std::unique_ptr<IOpenFolder>& out) override;
    std::uint32_t openSubfolder(const std::wstring& name,
                                std::unique_ptr<IOpenFolder>& out) override;
    std::uint32_t deleteSubfolder(const std::wstring& name) override;
    std::uint32_t readStart(const std::wstring& name, std::size_t limit,
                            std::vector<std::uint8_t>& out) override;
    std::uint64_t freeBytes() override;
    std::wstring path() const override { return path_; }

    // The folder of that name inside, opened (or, with FILE_CREATE or FILE_OPEN_IF, made
    // with `security`) as a real folder and held without FILE_SHARE_DELETE. Throws.
    std::unique_ptr<Win32OpenFolder> child(const std::wstring& name, DWORD disposition,
                                           PSECURITY_DESCRIPTOR security = nullptr);

  private:
    std::uint32_t childAs(const std::wstring& name, DWORD disposition,
                          std::unique_ptr<IOpenFolder>& out);
    UniqueFileHandle folder_;
    std::wstring path_;
};

// Opens the folder itself and checks it through the handle (see IFileSystem::openFolder).
std::unique_ptr<Win32OpenFolder> openFolderByHandle(const std::wstring& path);

// Every folder from the drive's root down to `path`, each opened as itself.
FolderStanding examineFolderPath(const std::wstring& path);

// The folder at `path` opened level by level from its drive's root, each relative to the
// one above and checked through its own handle (see IFileSystem::openConfiguredFolder).
FolderStanding openCheckedChain(const std::wstring& path, std::unique_ptr<Win32OpenFolder>& out);

// Moves the file `name` from one open folder into another under the same name: a rename
// relative to the target's handle, or across volumes a copy then a delete.
std::uint32_t moveBetweenFolders(HANDLE from, HANDLE to, const std::wstring& name);

} // namespace kestrave::win32
