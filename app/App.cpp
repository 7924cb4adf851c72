#include "app/App.h"

#include <objbase.h>

#include "windows/MainWindow.h"

namespace kestrave {

void restrictDllSearch() {
    // Looked up, not imported: Vista and a Windows 7 without its update lack it, and the
    // program must still start there, then with the current folder off the search path.
    const auto setDefault = reinterpret_cast<decltype(&::SetDefaultDllDirectories)>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"),
                                                 "SetDefaultDllDirectories")));
    if (setDefault == nullptr || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        ::SetDllDirectoryW(L"");
    }
}

App::App(HINSTANCE instance) : strings(instance), ui(instance, strings) {
    comReady_ = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

App::~App() {
    if (comReady_) {
        ::CoUninitialize();
    }
}

int App::runMainWindow() {
    MainWindow window(platform, currentPrinter);
    ui.show(window);
    return ui.run();
}

} // namespace kestrave
