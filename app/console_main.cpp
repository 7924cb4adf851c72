// Kestrave.com: the command line alone, as a console program, so that a shell waits for it
// and reads its exit code. Beside Kestrave.exe, "Kestrave /repair" runs this one (.com comes
// before .exe in PATHEXT).
#include "app/ConsoleParts.h"

int wmain(int argc, wchar_t** argv) {
    kestrave::restrictDllSearch();
    std::vector<std::wstring> args(argv + 1, argv + argc);
    kestrave::ConsoleParts parts(::GetModuleHandleW(nullptr));
    return parts.runCommandLine(kestrave::cli::parseArguments(args), true);
}
