// A second reference for start-up time: the empty window with what any window of the system's
// themed controls pays before its first sight, and nothing of the program's own: the
// program's manifest (common controls version 6, the same resolution awareness), comctl32
// loaded and registered as the program loads it, and four push buttons, as many as the
// program's main window has.
#include "tests/bench/ReferenceWindow.h"

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace kestrave;
    using namespace kestrave::win32;
    startup::mark(startup::kEntry);
    if (HMODULE comctl32 = ::LoadLibraryW(L"comctl32.dll")) {
        const auto init = reinterpret_cast<decltype(&::InitCommonControlsEx)>(
            reinterpret_cast<void*>(::GetProcAddress(comctl32, "InitCommonControlsEx")));
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        if (init != nullptr) {
            init(&icc);
        }
    }
    startup::mark(startup::kControls);
    HWND hwnd = bench::makeReferenceWindow(instance, L"KestraveControls", L"Controls");
    startup::mark(startup::kWindowCreated);
    for (int i = 0; i < 4; ++i) {
        ::CreateWindowW(L"BUTTON", L"Button", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                        115, 10 + i * 32, 295, 28, hwnd, nullptr, instance, nullptr);
    }
    return bench::runReference(hwnd);
}
