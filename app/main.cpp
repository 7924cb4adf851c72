#include "app/App.h"

#include <cstdlib>

#include "platform/win32/ComFunctions.h"
#include "platform/win32/StartupTimeline.h"

// With no argument, the window; with a switch, that action on the command line and no window.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    kestrave::win32::startup::mark(kestrave::win32::startup::kEntry);
    kestrave::restrictDllSearch();
    // The runtime's own split of the command line: shell32's would load it at start-up.
    std::vector<std::wstring> args;
    for (int i = 1; __wargv != nullptr && i < __argc; ++i) {
        args.emplace_back(__wargv[i]);
    }
    const kestrave::cli::Arguments parsed = kestrave::cli::parseArguments(args);
    int exitCode = 0;
    {
        kestrave::App app(instance);
        exitCode = parsed.action == kestrave::cli::Action::Window && !parsed.invalid
                       ? app.runMainWindow()
                       : app.runCommandLine(parsed);
    }
    // After every object the program made through COM is gone with the program's parts.
    kestrave::win32::com::leaveApartment();
    return exitCode;
}
