#include "app/App.h"

#include "resources/StringIds.h"

#include "cli/CommandLineRun.h"
#include "cli/QuietEvents.h"
#include "platform/SystemError.h"
#include "platform/win32/ComFunctions.h"
#include "platform/win32/SingleInstance.h"
#include "platform/win32/SystemMessage.h"
#include "platform/win32/Win32Console.h"
#include "windows/MainWindow.h"

namespace kestrave {

void restrictDllSearch() {
    // Looked up, not imported: Vista and a Windows 7 without its update lack it, and the
    // program must still start there, then with the current folder off the search path.
    const auto setDefault =
        reinterpret_cast<decltype(&::SetDefaultDllDirectories)>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefault == nullptr || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        ::SetDllDirectoryW(L"");
    }
}

App::App(HINSTANCE instance) : strings(instance), ui(instance, strings) {}

int App::runCommandLine(const cli::Arguments& args) {
    win32::Win32Console console;
    win32::Win32LogFile log;
    cli::QuietEvents events;
    cli::CliWorld world{{scm, registry, processes, files, events, lock},
                        strings,
                        console,
                        log,
                        [](std::uint32_t code) { return win32::systemMessage(code); },
                        diagnosis,
                        session};
    try {
        return cli::runCommandLine(args, world);
    } catch (const std::exception& e) {
        // Never a message box here: a box in a service session would wait for ever.
        std::wstring line = strings.text(IDS_UNEXPECTED_ERROR) + ansi.fromAnsi(e.what());
        if (const auto* se = dynamic_cast<const SystemError*>(&e)) {
            line += L" " + win32::systemMessage(se->code());
        }
        console.writeError(line);
        log.append(line);
        return cli::kExitProblem;
    }
}

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
