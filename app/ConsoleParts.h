#pragma once
#include "cli/Arguments.h"
#include "core/diagnosis/BoundedSources.h"
#include "core/system/AdminLock.h"
#include "platform/win32/Win32AdminObjects.h"
#include "platform/win32/Win32DiagnosisSources.h"
#include "platform/win32/Win32EventLog.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32ServiceManager.h"
#include "platform/win32/Win32StringTable.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/Win32Threads.h"
#include "platform/win32/Win32UserSession.h"

namespace kestrave {

// What the command line needs of the real platform and nothing of the window system: the
// console program is put together from this alone, so it loads no window library.
class ConsoleParts {
  public:
    explicit ConsoleParts(HINSTANCE instance) : strings(instance) {}
    ConsoleParts(const ConsoleParts&) = delete;
    ConsoleParts& operator=(const ConsoleParts&) = delete;

    // The command line's action; returns the exit code. Never a message box: a box in a
    // service session would wait for ever.
    // `consoleProgram`: run as Kestrave.com, which opens no window even without a switch.
    int runCommandLine(const cli::Arguments& args, bool consoleProgram = false);

    win32::Win32ServiceManager scm;
    win32::Win32Registry registry;
    win32::Win32AnsiCodePage ansi;
    win32::Win32Processes processes;
    win32::Win32FileSystem files;
    win32::Win32UserSession session;
    win32::Win32AdminObjects adminObjects;
    AdminLock lock{adminObjects, L"SpoolerOperation"};
    win32::Win32Threads threads;
    win32::Win32DiagnosisSources systemDiagnosis;
    // Printers and event logs are waited for only so long.
    BoundedSources diagnosis{systemDiagnosis, threads};
    win32::Win32StringTable strings;
    win32::Win32EventLog eventLog;
};

// Every library loaded after this comes from System32 only, never from the folder the
// program was started from. The entry point's first statement.
void restrictDllSearch();

} // namespace kestrave
