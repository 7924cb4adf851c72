#pragma once
#include "platform/IFileSystem.h"
#include "platform/IProcesses.h"
#include "platform/IShell.h"

namespace kestrave::win32 {

// Processes started with CreateProcessW; the wait watches the process handle and the
// thread's message queue together, so it neither spins nor misses an exit.
class Win32Processes : public IProcesses {
  public:
    std::unique_ptr<IRunningProcess> start(const std::wstring& applicationPath,
                                           const std::wstring& commandLine, int showWindow,
                                           const std::wstring& workingDirectory) override;
    std::unique_ptr<IOpenedProcess> open(std::uint32_t processId) override;
};

class Win32FileSystem : public IFileSystem {
  public:
    std::wstring systemDirectory() override;
    std::wstring windowsDirectory() override;
    std::wstring expandPath(const std::wstring& text) override;
    std::optional<std::uint32_t> attributes(const std::wstring& path) override;
    std::vector<std::wstring> systemFolders() override;
    FolderStanding openConfiguredFolder(const std::wstring& path,
                                        std::unique_ptr<IOpenFolder>& out) override;
    std::unique_ptr<IOpenFolder> openFolder(const std::wstring& path) override;
    std::unique_ptr<IOpenFolder>
    openKeepFolder(bool create, std::vector<std::wstring>* passedOver = nullptr) override;
    std::uint64_t now() override;
};

// Web addresses open as the desktop's own user: the desktop shell is asked to open them, so
// the browser does not inherit this program's administrator rights and reads the user's own
// settings. Only where there is no desktop shell does the program open them itself.
class Win32Shell : public IShell {
  public:
    std::uint32_t openUrl(const std::wstring& url) override;
    // Whether the last address went through the desktop shell.
    bool lastThroughDesktop() const { return throughDesktop_; }

  private:
    bool throughDesktop_ = false;
};

} // namespace kestrave::win32
