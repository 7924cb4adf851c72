#pragma once
#include <exception>
#include <string>
#include <string_view>

#include "platform/IStringTable.h"
#include "platform/win32/Win32Api.h"

namespace kestrave::win32 {

// The system's own text for an error code (or an HRESULT), without the trailing line break,
// followed by the code itself.
std::wstring systemMessage(DWORD code);

// What an error nothing else caught says, in the window's message box and on the command line
// alike: the program's words, what was raised, and for a system error the system's own text
// after `beforeSystemText`.
std::wstring unexpectedErrorText(const std::exception& e, const IStringTable& strings,
                                 std::wstring_view beforeSystemText);

} // namespace kestrave::win32
