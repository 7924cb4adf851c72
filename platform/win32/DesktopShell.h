#pragma once
#include <string>

namespace kestrave::win32 {

// Asks the desktop's shell (the unelevated explorer of the logged-on user) to open the file
// or address, through its window's IShellDispatch2::ShellExecute. False where there is no
// desktop shell to ask, or it refused. Needs COM started on this thread.
bool openAsDesktopUser(const std::wstring& file);

} // namespace kestrave::win32
