#include "app/App.h"

#include <shellapi.h>

#include "platform/win32/StartupTimeline.h"

// With no argument, the window; with a switch, that action on the command line and no window.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    kestrave::win32::startup::mark(kestrave::win32::startup::kEntry);
    kestrave::restrictDllSearch();
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    std::vector<std::wstring> args;
    for (int i = 1; argv != nullptr && i < argc; ++i) {
        args.emplace_back(argv[i]);
    }
    ::LocalFree(argv);
    const kestrave::cli::Arguments parsed = kestrave::cli::parseArguments(args);
    kestrave::App app(instance);
    if (parsed.action == kestrave::cli::Action::Window && !parsed.invalid) {
        return app.runMainWindow();
    }
    return app.runCommandLine(parsed);
}
