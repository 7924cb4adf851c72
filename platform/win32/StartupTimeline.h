#pragma once
#include <string>

#include "core/text/TextFormat.h"
#include "platform/win32/Win32Api.h"

// When the program reached each step of its start-up, for the benchmark. Kept in memory, a
// clock reading per step and each step taken once; when the window has painted and its queue
// first runs dry, put on the main window as properties ("Kestrave.Startup.<step>":
// microseconds since the process was created), where the benchmark reads them from outside.
namespace kestrave::win32::startup {

enum Mark : int {
    kEntry,         // the entry point
    kStrings,       // the first text from the string table
    kControls,      // the common controls loaded, once the first window is in sight
    kWindowCreated, // the main window made
    kStateRead,     // the spooler's state first read
    kFirstSight,    // the main window shown, its own controls painted (the status line too)
    kPictureDrawn,  // the first picture drawn
    kIdle,          // everything painted: the queue empty for the first time
    kMarks
};

void mark(Mark m);
// The benchmark asked for the steps (KESTRAVE_STARTUP_TIMELINE set): nobody else pays for them.
bool asked();
// Microseconds from the process's creation to the step; 0 for a step not taken.
long long microsecondsAt(Mark m);
// True once, for the one caller that puts the steps where the benchmark reads them.
bool claimPublication();
// Puts the marks on the window, once. Apart from the rest (StartupPublish.cpp): it is the
// only part that needs the window system, and the console program links none of it.
void publish(HWND window);
// The window property a step is put on.
inline std::wstring propertyName(int m) {
    return L"Kestrave.Startup." + decimal(m);
}

} // namespace kestrave::win32::startup
