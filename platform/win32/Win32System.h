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
                                           const std::wstring& commandLine,
                                           int showWindow) override;
    std::unique_ptr<IRunningProcess> terminate(std::uint32_t processId) override;
};

class Win32FileSystem : public IFileSystem {
  public:
    std::wstring systemDirectory() override;
    std::optional<std::uint32_t> attributes(const std::wstring& path) override;
    std::vector<FileEntry> list(const std::wstring& folder) override;
    std::uint32_t deleteFile(const std::wstring& path) override;
};

class Win32Shell : public IShell {
  public:
    std::intptr_t ShellExecuteA(std::uintptr_t owner, const char* operation, const char* file,
                                const char* parameters, const char* directory,
                                int showCommand) override;
};

} // namespace kestrave::win32
