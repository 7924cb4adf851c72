#pragma once
#include <string>

#include "platform/win32/Win32Api.h"

namespace kestrave::win32 {

// One main window per session. The window lock (an AdminLock named per session) says
// whether another may be open; these find it and bring it forward.

// The message the running main window answers, with kCameForward, by coming to the front.
UINT activationMessage();
constexpr LRESULT kCameForward = 0x4B53;

// The window lock's name for this desktop session.
std::wstring windowLockName();

// Brings forward the main window of a running Kestrave in this session: a window of the
// program's class whose process runs this same program file, and no other. Lets that process
// (only it) take the foreground. False when there is none.
bool bringRunningWindowForward();

} // namespace kestrave::win32
