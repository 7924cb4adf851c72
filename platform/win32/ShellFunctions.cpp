#include "platform/win32/ShellFunctions.h"

#include "platform/win32/ComFunctions.h"
#include "platform/win32/SystemLibrary.h"

namespace kestrave::win32::shell {

namespace {
SystemLibrary& library() {
    static SystemLibrary shell32(L"shell32.dll");
    return shell32;
}
} // namespace

std::optional<std::wstring> knownFolder(const KNOWNFOLDERID& id) {
    const auto get = library().get<decltype(&::SHGetKnownFolderPath)>("SHGetKnownFolderPath");
    PWSTR path = nullptr;
    if (get == nullptr || FAILED(get(id, 0, nullptr, &path))) {
        com::taskMemFree(path);
        return std::nullopt;
    }
    std::wstring found(path);
    com::taskMemFree(path);
    return found;
}

std::uint32_t execute(SHELLEXECUTEINFOW& info) {
    const auto run = library().get<decltype(&::ShellExecuteExW)>("ShellExecuteExW");
    if (run == nullptr) {
        return ERROR_PROC_NOT_FOUND;
    }
    return run(&info) ? 0 : ::GetLastError();
}

} // namespace kestrave::win32::shell
