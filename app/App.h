#pragma once
#include "app/ConsoleParts.h"
#include "cli/Arguments.h"
#include "core/printers/CurrentPrinter.h"
#include "windows/Platform.h"
#include "platform/win32/Win32Printers.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32ServiceManager.h"
#include "platform/win32/Win32StringTable.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/Win32UserSession.h"
#include "core/diagnosis/BoundedSources.h"
#include "core/system/AdminLock.h"
#include "platform/win32/Win32AdminObjects.h"
#include "platform/win32/Win32DiagnosisSources.h"
#include "platform/win32/Win32Threads.h"
#include "platform/win32/Win32WindowSystem.h"
#include "platform/win32/Win32Workstation.h"

namespace kestrave {

// The real platform, put together once for the program (and for the tests that drive it).
// The entry point makes the DLL search safe before building one.
// The command line's parts, and the window's on top of them.
class App : public ConsoleParts {
  public:
    explicit App(HINSTANCE instance);

    int runMainWindow();

    win32::Win32Workstation workstation;
    win32::Win32Shell shell;
    win32::Win32Printers printers;
    win32::Win32NetworkObjectFactory network;
    win32::Win32WindowSystem ui;
    Platform platform{scm,   workstation, registry, ansi,    processes, files,
                      shell, printers,    network,  session, lock, diagnosis, threads, strings, ui,
                      eventLog};
    CurrentPrinter currentPrinter{printers};
};

} // namespace kestrave
