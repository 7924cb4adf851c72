#include "platform/win32/KeepFolder.h"

#include "platform/SystemError.h"
#include "platform/win32/FileTrust.h"
#include "platform/win32/ShellFunctions.h"
#include "platform/win32/Win32OpenFolder.h"

namespace kestrave::win32 {

namespace {
// A folder of the program's own, held from its parent's handle. Standard users may make
// folders in ProgramData: one they made (or opened to themselves) under this name is
// refused, never taken over or used.
std::unique_ptr<Win32OpenFolder> ownFolder(Win32OpenFolder& parent, const wchar_t* name,
                                           bool create) {
    AdminOnlySecurity security;
    if (create && security.attributes() == nullptr) {
        throw SystemError(::GetLastError(), "cannot make the folder's security");
    }
    std::unique_ptr<Win32OpenFolder> folder;
    try {
        folder = parent.child(name, create ? FILE_OPEN_IF : FILE_OPEN,
                              create ? security.attributes()->lpSecurityDescriptor : nullptr);
    } catch (const SystemError& e) {
        const bool missing = e.code() == ERROR_FILE_NOT_FOUND || e.code() == ERROR_PATH_NOT_FOUND;
        throw SystemError(missing ? ERROR_FILE_NOT_FOUND : e.code(), e.what());
    }
    if (const std::uint32_t code = checkAdminOnlyAccess(folder->handle()); code != 0) {
        throw SystemError(code, "the folder is not ours alone");
    }
    return folder;
}
} // namespace

std::optional<std::wstring> programDataDirectory() {
    wchar_t programData[MAX_PATH];
    DWORD size = sizeof programData;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE,
                       L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList",
                       L"ProgramData", RRF_RT_REG_SZ, nullptr, programData,
                       &size) == ERROR_SUCCESS) {
        return std::wstring(programData);
    }
    return shell::knownFolder(FOLDERID_ProgramData);
}

std::unique_ptr<IOpenFolder> openKeepFolder(bool create) {
    const auto programData = programDataDirectory();
    if (!programData) {
        throw SystemError(ERROR_PATH_NOT_FOUND, "no ProgramData folder");
    }
    // ProgramData itself and everything above it: real folders the system's accounts own.
    if (examineFolderPath(*programData) != FolderStanding::Trusted) {
        throw SystemError(ERROR_ACCESS_DENIED, "ProgramData is not the system's");
    }
    const std::unique_ptr<Win32OpenFolder> root = openFolderByHandle(*programData);
    const std::unique_ptr<Win32OpenFolder> own = ownFolder(*root, L"Kestrave", create);
    return ownFolder(*own, L"Cleared", create);
}

} // namespace kestrave::win32
