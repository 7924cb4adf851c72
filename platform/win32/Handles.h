#pragma once
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Api.h"

namespace kestrave::win32 {

struct ScHandleTraits {
    using Handle = SC_HANDLE;
    static Handle empty() noexcept { return nullptr; }
    static void close(Handle h) noexcept { ::CloseServiceHandle(h); }
};
struct RegKeyTraits {
    using Handle = HKEY;
    static Handle empty() noexcept { return nullptr; }
    static void close(Handle h) noexcept { ::RegCloseKey(h); }
};
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle empty() noexcept { return nullptr; }
    static void close(Handle h) noexcept { ::CloseHandle(h); }
};
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(Handle h) noexcept { ::FindClose(h); }
};
struct MenuTraits {
    using Handle = HMENU;
    static Handle empty() noexcept { return nullptr; }
    static void close(Handle h) noexcept { ::DestroyMenu(h); }
};
struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle empty() noexcept { return nullptr; }
    static void close(Handle h) noexcept { ::DeleteObject(h); }
};
struct IconTraits {
    using Handle = HICON;
    static Handle empty() noexcept { return nullptr; }
    static void close(Handle h) noexcept { ::DestroyIcon(h); }
};
struct ModuleTraits {
    using Handle = HMODULE;
    static Handle empty() noexcept { return nullptr; }
    static void close(Handle h) noexcept { ::FreeLibrary(h); }
};
struct WindowTraits {
    using Handle = HWND;
    static Handle empty() noexcept { return nullptr; }
    static void close(Handle h) noexcept { ::DestroyWindow(h); }
};

using UniqueScHandle = UniqueHandle<ScHandleTraits>;
using UniqueRegKey = UniqueHandle<RegKeyTraits>;
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueWindow = UniqueHandle<WindowTraits>;

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
