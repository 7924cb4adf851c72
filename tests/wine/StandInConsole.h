#pragma once
#include <string>

#include "platform/win32/Win32Api.h"
#include "tests/common/Win32TestHelpers.h"

namespace kestrave::test {

constexpr wchar_t kStandInConsoleTitle[] = L"Kestrave stand-in console";

inline LRESULT CALLBACK standInConsoleProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(h, m, w, l);
}

// Copied as System32's mmc.exe, the test program stands in for a console: a window that
// shows itself with the show command it was started with, and stays open until closed.
inline bool actAsStandInConsole() {
    const std::wstring self = testhelp::selfPath();
    const std::wstring base = self.substr(self.find_last_of(L'\\') + 1);
    if (_wcsicmp(base.c_str(), L"mmc.exe") != 0) {
        return false;
    }
    WNDCLASSW wc{};
    wc.lpfnWndProc = standInConsoleProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KestraveStandInConsole";
    ::RegisterClassW(&wc);
    HWND window = ::CreateWindowW(wc.lpszClassName, kStandInConsoleTitle, WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 400, 300, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    ::GetStartupInfoW(&si);
    ::ShowWindow(window, (si.dwFlags & STARTF_USESHOWWINDOW) != 0 ? si.wShowWindow : SW_SHOWDEFAULT);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::DispatchMessageW(&msg);
    }
    return true;
}

} // namespace kestrave::test
