#include "app/App.h"

#include <objbase.h>

#include "windows/MainWindow.h"

namespace kestrave {

void restrictDllSearch() {
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
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
