#include "platform/win32/SystemLibrary.h"

#include <string>

namespace kestrave::win32 {

void SystemLibrary::load() {
    module_ = ::LoadLibraryExW(name_, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module_ == nullptr && ::GetLastError() == ERROR_INVALID_PARAMETER) {
        // A Windows without the search flags (Vista, Windows 7 unpatched): by full path.
        wchar_t dir[MAX_PATH];
        const UINT n = ::GetSystemDirectoryW(dir, MAX_PATH);
        if (n > 0 && n < MAX_PATH) {
            const std::wstring path = std::wstring(dir, n) + L"\\" + name_;
            module_ = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        }
    }
}

BOOL WINAPI SystemLibrary::loadOnce(PINIT_ONCE, PVOID self, PVOID*) {
    static_cast<SystemLibrary*>(self)->load();
    return TRUE;
}

FARPROC SystemLibrary::proc(const char* function) {
    ::InitOnceExecuteOnce(&loaded_, loadOnce, this, nullptr);
    return module_ != nullptr ? ::GetProcAddress(module_, function) : nullptr;
}

} // namespace kestrave::win32
