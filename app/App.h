#pragma once
#include "cli/Arguments.h"
#include "core/printers/CurrentPrinter.h"
#include "platform/Platform.h"
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
class App {
  public:
    explicit App(HINSTANCE instance);
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    int runMainWindow();
    // The command line's action, without a window; returns the exit code.
    int runCommandLine(const cli::Arguments& args);

    win32::Win32ServiceManager scm;
    win32::Win32Workstation workstation;
    win32::Win32Registry registry;
    win32::Win32AnsiCodePage ansi;
    win32::Win32Processes processes;
    win32::Win32FileSystem files;
    win32::Win32Shell shell;
    win32::Win32Printers printers;
    win32::Win32NetworkObjectFactory network;
    win32::Win32UserSession session;
    win32::Win32AdminObjects adminObjects;
    AdminLock lock{adminObjects, L"SpoolerOperation"};
    win32::Win32Threads threads;
    win32::Win32DiagnosisSources systemDiagnosis;
    // Printers and event logs are waited for only so long; the command line and the
    // window read through this.
    BoundedSources diagnosis{systemDiagnosis, threads};
    win32::Win32StringTable strings;
    win32::Win32WindowSystem ui;
    Platform platform{scm,   workstation, registry, ansi,    processes, files,
                      shell, printers,    network,  session, lock, diagnosis, threads, strings, ui};
    CurrentPrinter currentPrinter{printers};
};

// Every library loaded after this comes from System32 only, never from the folder the
// program was started from. The entry point's first statement.
void restrictDllSearch();

} // namespace kestrave
