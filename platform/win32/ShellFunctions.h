#pragma once
#include <optional>
#include <string>

#include "platform/win32/Win32Api.h"

#include <shellapi.h>
#include <shlobj.h>

// shell32, loaded at first use rather than with the program: its start-up is the largest part
// of a program's own before its first window (about 16 ms under Wine), and the window needs
// none of it.
namespace kestrave::win32::shell {

// A known folder's path; none where the system has none.
std::optional<std::wstring> knownFolder(const KNOWNFOLDERID& id);
// ShellExecuteExW: 0, or the system's error code.
std::uint32_t execute(SHELLEXECUTEINFOW& info);

} // namespace kestrave::win32::shell
