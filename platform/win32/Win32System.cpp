#include "platform/win32/Win32System.h"

#include "platform/win32/Win32Api.h"

#include <shellapi.h>

#include "platform/SystemError.h"
#include "platform/win32/Handles.h"

namespace kestrave::win32 {

namespace {
class RunningProcess : public IRunningProcess {
  public:
    explicit RunningProcess(HANDLE process) : process_(process) {}
    bool waitExitOrInput() override {
        HANDLE h = process_.get();
        const DWORD r =
            ::MsgWaitForMultipleObjectsEx(1, &h, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        return r == WAIT_OBJECT_0 || r == WAIT_FAILED;
    }

  private:
    UniqueKernelHandle process_;
};
} // namespace

std::unique_ptr<IRunningProcess> Win32Processes::start(const std::wstring& applicationPath,
                                                       const std::wstring& commandLine,
                                                       int showWindow) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(showWindow);
    PROCESS_INFORMATION pi{};
    std::wstring mutableLine = commandLine; // CreateProcessW may write into it
    if (!::CreateProcessW(applicationPath.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0,
                          nullptr, nullptr, &si, &pi)) {
        const DWORD code = ::GetLastError();
        throw SystemError(code, "cannot start the command");
    }
    ::CloseHandle(pi.hThread);
    return std::make_unique<RunningProcess>(pi.hProcess);
}

std::wstring Win32FileSystem::systemDirectory() {
    wchar_t buffer[MAX_PATH + 1];
    const UINT n = ::GetSystemDirectoryW(buffer, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH) {
        throw SystemError(::GetLastError(), "cannot read the system directory");
    }
    std::wstring dir(buffer, n);
    if (!dir.empty() && dir.back() == L'\\') {
        dir.pop_back();
    }
    return dir;
}

std::optional<std::uint32_t> Win32FileSystem::attributes(const std::wstring& path) {
    const DWORD a = ::GetFileAttributesW(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) {
        return std::nullopt;
    }
    return a;
}

std::vector<FileEntry> Win32FileSystem::list(const std::wstring& folder) {
    std::vector<FileEntry> entries;
    WIN32_FIND_DATAW data{};
    UniqueFindHandle find(::FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data,
                                             FindExSearchNameMatch, nullptr, 0));
    if (!find) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_FILE_NOT_FOUND) {
            return entries;
        }
        throw SystemError(code, "cannot list the folder");
    }
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") {
            entries.push_back({name, data.dwFileAttributes});
        }
    } while (::FindNextFileW(find.get(), &data));
    return entries;
}

std::uint32_t Win32FileSystem::deleteFile(const std::wstring& path) {
    // DeleteFileW removes a symbolic link itself, never its target.
    return ::DeleteFileW(path.c_str()) ? 0 : ::GetLastError();
}

std::intptr_t Win32Shell::ShellExecuteA(std::uintptr_t owner, const char* operation,
                                        const char* file, const char* parameters,
                                        const char* directory, int showCommand) {
    return reinterpret_cast<std::intptr_t>(::ShellExecuteA(
        reinterpret_cast<HWND>(owner), operation, file, parameters, directory, showCommand));
}

} // namespace kestrave::win32
