#include "platform/win32/Win32System.h"

#include "platform/win32/Win32Api.h"

#include "platform/SystemError.h"
#include "platform/win32/DesktopShell.h"
#include "platform/win32/FileTrust.h"
#include "platform/win32/Handles.h"
#include "platform/win32/ShellFunctions.h"
#include "platform/win32/KeepFolder.h"
#include "platform/win32/NativeFileNames.h"
#include "platform/win32/Win32OpenFolder.h"

namespace kestrave::win32 {

namespace {
// A process by its handle: waited on together with the thread's message queue, so a wait
// neither spins nor misses an exit; a started one and an opened one alike.
class Process : public IOpenedProcess {
  public:
    explicit Process(HANDLE process) : process_(process) {}
    bool waitExitOrInput(int ms) override {
        // Looked up, not imported: the console program loads no window library, and a thread
        // of a process without user32 has no message queue to wake for.
        const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
        const auto msgWait = reinterpret_cast<decltype(&::MsgWaitForMultipleObjectsEx)>(
            reinterpret_cast<void*>(
                user32 ? ::GetProcAddress(user32, "MsgWaitForMultipleObjectsEx") : nullptr));
        HANDLE h = process_.get();
        const DWORD r = msgWait != nullptr
                            ? msgWait(1, &h, static_cast<DWORD>(ms), QS_ALLINPUT,
                                      MWMO_INPUTAVAILABLE)
                            : ::WaitForSingleObject(h, static_cast<DWORD>(ms));
        return r == WAIT_OBJECT_0 || r == WAIT_FAILED;
    }
    bool waitExit(int ms) override {
        const DWORD r = ::WaitForSingleObject(process_.get(), static_cast<DWORD>(ms));
        return r == WAIT_OBJECT_0 || r == WAIT_FAILED;
    }
    void terminate() override {
        if (!::TerminateProcess(process_.get(), 1)) {
            throw SystemError(::GetLastError(), "cannot end the process");
        }
    }
    std::wstring imagePath() override {
        std::wstring path(32768, L'\0');
        DWORD size = static_cast<DWORD>(path.size());
        if (!::QueryFullProcessImageNameW(process_.get(), 0, path.data(), &size)) {
            throw SystemError(::GetLastError(), "cannot read the process's program file");
        }
        path.resize(size);
        return path;
    }

  private:
    UniqueKernelHandle process_;
};
} // namespace

std::unique_ptr<IRunningProcess> Win32Processes::start(const std::wstring& applicationPath,
                                                       const std::wstring& commandLine,
                                                       int showWindow,
                                                       const std::wstring& workingDirectory) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(showWindow);
    PROCESS_INFORMATION pi{};
    std::wstring mutableLine = commandLine; // CreateProcessW may write into it
    // No handle of ours is inherited, and the child looks nothing up in our working directory.
    if (!::CreateProcessW(applicationPath.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0,
                          nullptr, workingDirectory.c_str(), &si, &pi)) {
        const DWORD code = ::GetLastError();
        throw SystemError(code, "cannot start the command");
    }
    ::CloseHandle(pi.hThread);
    return std::make_unique<Process>(pi.hProcess);
}

std::unique_ptr<IOpenedProcess> Win32Processes::open(std::uint32_t processId) {
    HANDLE process = ::OpenProcess(
        PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, processId);
    if (process == nullptr) {
        throw SystemError(::GetLastError(), "cannot open the process");
    }
    return std::make_unique<Process>(process);
}

namespace {
// A system folder's path without a trailing backslash.
template <typename Get> std::wstring systemFolder(Get get, const char* what) {
    wchar_t buffer[MAX_PATH + 1];
    const UINT n = get(buffer, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH) {
        throw SystemError(::GetLastError(), what);
    }
    std::wstring dir(buffer, n);
    if (!dir.empty() && dir.back() == L'\\') {
        dir.pop_back();
    }
    return dir;
}
} // namespace

std::wstring Win32FileSystem::systemDirectory() {
    return systemFolder(::GetSystemDirectoryW, "cannot read the system directory");
}

std::wstring Win32FileSystem::windowsDirectory() {
    // The system's own Windows folder, not a per-user one (GetWindowsDirectoryW may give a
    // private folder on a terminal server).
    return systemFolder(::GetSystemWindowsDirectoryW, "cannot read the Windows directory");
}

std::wstring Win32FileSystem::expandPath(const std::wstring& text) {
    // The expansion may grow between the two calls if the environment changes: ask again.
    std::wstring out(text.size() + 64, L'\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD n =
            ::ExpandEnvironmentStringsW(text.c_str(), out.data(), static_cast<DWORD>(out.size()));
        if (n == 0) {
            throw SystemError(::GetLastError(), "cannot expand the path");
        }
        if (n <= out.size()) {
            out.resize(n - 1);
            return out;
        }
        out.assign(n, L'\0');
    }
    throw SystemError(ERROR_MORE_DATA, "cannot expand the path");
}

std::optional<std::uint32_t> Win32FileSystem::attributes(const std::wstring& path) {
    const DWORD a = ::GetFileAttributesW(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) {
        return std::nullopt;
    }
    return a;
}

std::vector<std::wstring> Win32FileSystem::systemFolders() {
    std::vector<std::wstring> out{windowsDirectory(), systemDirectory()};
    for (const KNOWNFOLDERID& id : {FOLDERID_UserProfiles, FOLDERID_ProgramFiles,
                                    FOLDERID_ProgramFilesX86, FOLDERID_ProgramData}) {
        if (auto path = shell::knownFolder(id)) {
            out.push_back(std::move(*path));
        }
    }
    return out;
}

FolderStanding Win32FileSystem::openConfiguredFolder(const std::wstring& path,
                                                     std::unique_ptr<IOpenFolder>& out) {
    std::unique_ptr<Win32OpenFolder> folder;
#if !defined(_WIN64)
    const NativeFileNames native; // the 32-bit program only: the 64-bit one has no redirection
#endif
    const FolderStanding standing = openCheckedChain(path, folder);
    out = std::move(folder);
    return standing;
}

std::unique_ptr<IOpenFolder> Win32FileSystem::openFolder(const std::wstring& path) {
#if !defined(_WIN64)
    const NativeFileNames native;
#endif
    return openFolderByHandle(path);
}

std::unique_ptr<IOpenFolder>
Win32FileSystem::openKeepFolder(bool create, std::vector<std::wstring>* passedOver) {
    return win32::openKeepFolder(create, passedOver);
}

std::uint64_t Win32FileSystem::now() {
    FILETIME t{};
    ::GetSystemTimeAsFileTime(&t);
    return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

std::uint32_t Win32Shell::openUrl(const std::wstring& url) {
    throughDesktop_ = openAsDesktopUser(url);
    if (throughDesktop_) {
        return 0;
    }
    // A browser started from here would run as SYSTEM, or as the administrator on another
    // user's desktop: the address is shown to be copied instead.
    if (runsElevated()) {
        return err::kNoDesktopUser;
    }
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = url.c_str();
    info.nShow = SW_SHOWNORMAL;
    return shell::execute(info);
}

} // namespace kestrave::win32
