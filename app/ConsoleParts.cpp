#include "app/ConsoleParts.h"

#include "cli/CommandLineRun.h"
#include "cli/QuietEvents.h"
#include "platform/SystemError.h"
#include "platform/win32/FileTrust.h"
#include "platform/win32/SystemMessage.h"
#include "platform/win32/Win32Console.h"
#include "resources/StringIds.h"

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

int ConsoleParts::runCommandLine(const cli::Arguments& args, bool consoleProgram) {
    win32::Win32Console console;
    win32::Win32LogFile log;
    cli::QuietEvents events;
    cli::CliWorld world{{scm, registry, processes, files, events, lock},
                        strings,
                        console,
                        log,
                        [](std::uint32_t code) { return win32::systemMessage(code); },
                        diagnosis,
                        session,
                        eventLog};
    world.elevated = win32::holdsAdministratorRights();
    world.consoleProgram = consoleProgram;
    try {
        return cli::runCommandLine(args, world);
    } catch (const std::exception& e) {
        const std::wstring line = win32::unexpectedErrorText(e, strings, L" ");
        console.writeError(line);
        log.append(line);
        return cli::kExitProblem;
    }
}

} // namespace kestrave
