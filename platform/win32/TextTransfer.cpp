// The window system's clipboard and save-as: text leaving the program at the user's request.
#include "platform/win32/Win32WindowSystem.h"

#include <commdlg.h>
#include <cstring>

#include "platform/SystemError.h"
#include "platform/win32/RelativeOpen.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/Win32OpenFolder.h"
#include "platform/win32/Win32Console.h"

namespace kestrave::win32 {

namespace {
// The chosen file, reached through its folder's handle and opened as itself: nothing swapped
// in while the dialog was open (a junction above it, a link or a second name in its place)
// sends the program's writes elsewhere. Emptied only once it is known to be what it seems.
std::uint32_t openReportFile(const std::wstring& path, UniqueKernelHandle& out) {
    const std::size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash + 1 == path.size()) {
        return ERROR_INVALID_NAME;
    }
    std::unique_ptr<Win32OpenFolder> folder;
    try {
        folder = openFolderByHandle(path.substr(0, slash == 2 ? 3 : slash));
    } catch (const SystemError& e) {
        return e.code();
    }
    RelativeOpen how;
    how.access = FILE_WRITE_DATA | FILE_READ_ATTRIBUTES;
    how.share = 0;
    how.disposition = 3; // FILE_OPEN_IF
    UniqueKernelHandle file;
    if (const std::uint32_t code =
            openRelative(folder->handle(), path.substr(slash + 1), how, file);
        code != 0) {
        return code;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file.get(), &info)) {
        return ::GetLastError();
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || info.nNumberOfLinks != 1) {
        return ERROR_CANT_ACCESS_FILE;
    }
    FILE_END_OF_FILE_INFO empty{};
    if (!::SetFileInformationByHandle(file.get(), FileEndOfFileInfo, &empty, sizeof empty)) {
        return ::GetLastError();
    }
    out = std::move(file);
    return 0;
}
} // namespace

bool Win32WindowSystem::copyText(ui::Form& form, const std::wstring& text) {
    if (!::OpenClipboard(hwndOf(form))) {
        return false;
    }
    ::EmptyClipboard();
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool done = false;
    if (copy != nullptr) {
        std::memcpy(::GlobalLock(copy), text.c_str(), bytes);
        ::GlobalUnlock(copy);
        done = ::SetClipboardData(CF_UNICODETEXT, copy) != nullptr;
        if (!done) {
            ::GlobalFree(copy); // the clipboard owns it only once it took it
        }
    }
    ::CloseClipboard();
    return done;
}

std::uint32_t Win32WindowSystem::saveText(ui::Form& form, const std::wstring& suggestedName,
                                          const std::wstring& text) {
    // The common dialogs only when asked for: loading them with the program costs its start.
    static SystemLibrary comdlg(L"comdlg32.dll");
    const auto getSaveFileName = comdlg.get<decltype(&::GetSaveFileNameW)>("GetSaveFileNameW");
    const auto extendedError =
        comdlg.get<decltype(&::CommDlgExtendedError)>("CommDlgExtendedError");
    if (!getSaveFileName || !extendedError) {
        return ERROR_PROC_NOT_FOUND;
    }
    wchar_t path[MAX_PATH] = {};
    suggestedName.copy(path, MAX_PATH - 1);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = hwndOf(form);
    ofn.lpstrFilter = L"*.txt\0*.txt\0*.*\0*.*\0";
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = L"txt";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!getSaveFileName(&ofn)) {
        const DWORD code = extendedError();
        return code == 0 ? ERROR_CANCELLED : code;
    }
    UniqueKernelHandle file;
    if (const std::uint32_t code = openReportFile(path, file); code != 0) {
        return code;
    }
    const std::string bytes = toUtf8(text);
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr)) {
        return ::GetLastError();
    }
    return 0;
}

} // namespace kestrave::win32
