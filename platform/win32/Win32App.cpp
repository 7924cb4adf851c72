#include "platform/win32/Win32App.h"

#include <objbase.h>

namespace kestrave::win32 {

HINSTANCE Win32App::prepare(HINSTANCE instance) {
    // Runs before any member: every library loaded later comes from System32 only, never
    // from the folder the program was started from.
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    return instance;
}

Win32App::Win32App(HINSTANCE instance) : ui(prepare(instance)) {
    comReady_ = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

Win32App::~Win32App() {
    if (comReady_) {
        ::CoUninitialize();
    }
}

int Win32App::runMainWindow() {
    Form1 form(platform, currentPrinter);
    ui.show(form);
    return ui.run();
}

} // namespace kestrave::win32
