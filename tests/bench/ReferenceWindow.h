#pragma once
// What the start-up references share: their window, ending the program when it goes, and the
// loop that puts the timeline on the window once it has gone idle.
#include "platform/win32/StartupTimeline.h"
#include "platform/win32/Win32Api.h"

namespace kestrave::bench {

inline LRESULT CALLBACK referenceProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

// The reference's window, of a class of its own, as large as the program's main window.
inline HWND makeReferenceWindow(HINSTANCE instance, const wchar_t* cls, const wchar_t* title) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = referenceProc;
    wc.hInstance = instance;
    wc.lpszClassName = cls;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    ::RegisterClassW(&wc);
    return ::CreateWindowW(cls, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 425, 180,
                           nullptr, nullptr, instance, nullptr);
}

// Shows the window, then runs its loop; with the benchmark's variable set, the same steps as
// the program's timeline, where the reference has them, are put on it at the first idle.
inline int runReference(HWND hwnd) {
    using namespace win32;
    ::ShowWindow(hwnd, SW_SHOW);
    ::UpdateWindow(hwnd);
    startup::mark(startup::kFirstSight);
    const bool timeline = startup::asked();
    MSG msg;
    for (;;) {
        if (timeline && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            startup::mark(startup::kIdle);
            startup::publish(hwnd);
        }
        if (::GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            break;
        }
        ::DispatchMessageW(&msg);
    }
    return 0;
}

} // namespace kestrave::bench
