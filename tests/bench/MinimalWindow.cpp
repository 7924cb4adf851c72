// The reference for start-up time: a program that only opens an empty window.
#include "tests/bench/ReferenceWindow.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace kestrave;
    win32::startup::mark(win32::startup::kEntry);
    HWND hwnd = bench::makeReferenceWindow(instance, L"KestraveMinimal", L"Minimal");
    win32::startup::mark(win32::startup::kWindowCreated);
    return bench::runReference(hwnd);
}
