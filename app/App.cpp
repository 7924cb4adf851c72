#include "app/App.h"

#include "platform/win32/ComFunctions.h"
#include "platform/win32/SingleInstance.h"
#include "windows/MainWindow.h"

namespace kestrave {

App::App(HINSTANCE instance) : ConsoleParts(instance), ui(instance, strings) {}

int App::runMainWindow() {
    AdminLock windowLock(adminObjects, win32::windowLockName());
    if (windowLock.tryAcquire().result == LockAttempt::Result::Busy) {
        // The first window may still be on its way: give it a moment to appear.
        for (int tries = 0; tries < 20; ++tries) {
            if (win32::bringRunningWindowForward()) {
                return 0;
            }
            ::Sleep(100);
        }
        // Held, yet no window of ours to bring forward: this one opens all the same.
    }
    MainWindow window(platform, currentPrinter);
    ui.show(window);
    return ui.run();
}

} // namespace kestrave
