// The window system's clipboard and save-as: text leaving the program at the user's request.
#include "platform/win32/Win32WindowSystem.h"

#include <commdlg.h>
#include <cstring>

#include "platform/win32/SystemLibrary.h"
#include "platform/win32/Win32Console.h"

namespace kestrave::win32 {

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
    const auto extendedError = comdlg.get<decltype(&::CommDlgExtendedError)>("CommDlgExtendedError");
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
    const UniqueFileHandle file(::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return ::GetLastError();
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
