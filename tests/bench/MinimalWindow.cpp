// The reference for start-up time: a program that only opens an empty window.
#include "tests/bench/ReferenceWindow.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace kestrave;
    win32::startup::mark(win32::startup::kEntry);
    WNDCLASSW wc{};
    wc.lpfnWndProc = bench::referenceProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"KestraveMinimal";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    ::RegisterClassW(&wc);
    HWND hwnd = ::CreateWindowW(L"KestraveMinimal", L"Minimal", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 425, 180, nullptr, nullptr, instance, nullptr);
    win32::startup::mark(win32::startup::kWindowCreated);
    return bench::runReference(hwnd);
}
