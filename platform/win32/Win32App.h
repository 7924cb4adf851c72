#pragma once
#include "mainwindow/Form1.h"
#include "platform/Platform.h"
#include "platform/win32/Win32Printers.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32ServiceManager.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/Win32WindowSystem.h"
#include "platform/win32/Win32Workstation.h"

namespace kestrave::win32 {

// The real platform, put together once for the program (and for the tests that drive it).
class Win32App {
  public:
    explicit Win32App(HINSTANCE instance);
    ~Win32App();
    Win32App(const Win32App&) = delete;
    Win32App& operator=(const Win32App&) = delete;

    int runMainWindow();

    Win32ServiceManager scm;
    Win32Workstation workstation;
    Win32Registry registry;
    Win32AnsiCodePage ansi;
    Win32Processes processes;
    Win32FileSystem files;
    Win32Shell shell;
    Win32Printers printers;
    Win32NetworkObjectFactory network;
    Win32WindowSystem ui;
    Platform platform{scm,   workstation, registry, ansi,    processes,
                      files, shell,       printers, network, ui};
    CurrentPrinter currentPrinter{printers};

  private:
    static HINSTANCE prepare(HINSTANCE instance);
    bool comReady_ = false;
};

} // namespace kestrave::win32
