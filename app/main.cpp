#include "app/App.h"

// The program takes no arguments: it shows its main window and runs until it is closed.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    kestrave::restrictDllSearch();
    return kestrave::App(instance).runMainWindow();
}
