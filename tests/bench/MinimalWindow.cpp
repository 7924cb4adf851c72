// The reference for start-up time: a program that only opens an empty window.
#include "platform/win32/StartupTimeline.h"
#include "platform/win32/Win32Api.h"

namespace {
LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}
} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace kestrave::win32;
    startup::mark(startup::kEntry);
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.lpszClassName = L"KestraveMinimal";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    ::RegisterClassW(&wc);
    HWND hwnd = ::CreateWindowW(L"KestraveMinimal", L"Minimal", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 425, 180, nullptr, nullptr, instance, nullptr);
    startup::mark(startup::kWindowCreated);
    ::ShowWindow(hwnd, SW_SHOW);
    ::UpdateWindow(hwnd);
    // The same steps as the program's timeline, where an empty window has them.
    const bool timeline = ::GetEnvironmentVariableW(L"KESTRAVE_STARTUP_TIMELINE", nullptr, 0) > 0;
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
