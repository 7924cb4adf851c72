#include "mainwindow/Form1.h"
#include "platform/win32/Win32App.h"

// The program takes no arguments: it shows its main window and runs until it is closed.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return kestrave::win32::Win32App(instance).runMainWindow();
}
