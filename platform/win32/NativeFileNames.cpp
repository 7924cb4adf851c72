#include "platform/win32/NativeFileNames.h"

namespace kestrave::win32 {

namespace {
bool underWow64() {
#if defined(_WIN64)
    return false;
#else
    BOOL wow64 = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
#endif
}

std::wstring folder(UINT(WINAPI* read)(LPWSTR, UINT)) {
    wchar_t dir[MAX_PATH];
    const UINT n = read(dir, MAX_PATH);
    return std::wstring(dir, n < MAX_PATH ? n : 0);
}
} // namespace

NativeFileNames::NativeFileNames() {
#if !defined(_WIN64)
    off_ = underWow64() && ::Wow64DisableWow64FsRedirection(&previous_);
#endif
}

NativeFileNames::~NativeFileNames() {
#if !defined(_WIN64)
    if (off_) {
        ::Wow64RevertWow64FsRedirection(previous_);
    }
#endif
}

std::wstring nativeSystemDirectory() {
    if (underWow64()) {
        const std::wstring windows = folder(::GetSystemWindowsDirectoryW);
        if (!windows.empty()) {
            return windows + L"\\Sysnative";
        }
    }
    return folder(::GetSystemDirectoryW);
}

} // namespace kestrave::win32
