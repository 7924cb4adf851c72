#pragma once
#include <string>

#include "platform/win32/Win32Api.h"

namespace kestrave::win32 {

// The system's own text for an error code (or an HRESULT), without the trailing line break,
// followed by the code itself.
std::wstring systemMessage(DWORD code);

} // namespace kestrave::win32
