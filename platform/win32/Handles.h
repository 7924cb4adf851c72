#pragma once
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Api.h"

namespace kestrave::win32 {

// Handle kinds whose empty value is null, closed by one system function.
template <typename H, auto Close> struct ClosedBy {
    using Handle = H;
    static Handle empty() noexcept { return nullptr; }
    static void close(Handle h) noexcept { Close(h); }
};
// Search handles are an exception: their empty value is INVALID_HANDLE_VALUE.
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(Handle h) noexcept { ::FindClose(h); }
};

// Files are the other: CreateFileW fails with INVALID_HANDLE_VALUE.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(Handle h) noexcept { ::CloseHandle(h); }
};

using UniqueScHandle = UniqueHandle<ClosedBy<SC_HANDLE, &::CloseServiceHandle>>;
using UniqueRegKey = UniqueHandle<ClosedBy<HKEY, &::RegCloseKey>>;
using UniqueKernelHandle = UniqueHandle<ClosedBy<HANDLE, &::CloseHandle>>;
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueMenu = UniqueHandle<ClosedBy<HMENU, &::DestroyMenu>>;
using UniqueGdiObject = UniqueHandle<ClosedBy<HGDIOBJ, &::DeleteObject>>;
using UniqueIcon = UniqueHandle<ClosedBy<HICON, &::DestroyIcon>>;
using UniqueModule = UniqueHandle<ClosedBy<HMODULE, &::FreeLibrary>>;

// A DC from GetDC, given back to its window.
class WindowDc {
  public:
    explicit WindowDc(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    ~WindowDc() {
        if (dc_ != nullptr) {
            ::ReleaseDC(hwnd_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const noexcept { return dc_; }

  private:
    HWND hwnd_;
    HDC dc_;
};

// Selects an object into a DC for the scope and puts the previous one back.
class SelectObjectScope {
  public:
    SelectObjectScope(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), old_(::SelectObject(dc, obj)) {}
    ~SelectObjectScope() { ::SelectObject(dc_, old_); }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;

  private:
    HDC dc_;
    HGDIOBJ old_;
};

} // namespace kestrave::win32
