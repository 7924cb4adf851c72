#pragma once
#include <cstdint>
#include <string>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32Api.h"

namespace kestrave::win32 {

// Opens the entry of exactly that name inside an open folder, relative to the folder's handle
// (NtCreateFile with a root directory): no path is resolved again, so nothing renamed or
// linked along the folder's path meanwhile can send the open elsewhere. The entry itself is
// opened, never what a link points to, and never a folder.
struct RelativeOpen {
    DWORD access = 0;
    DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    DWORD disposition = 1;    // FILE_OPEN; FILE_OPEN_IF (3) creates it when missing
    DWORD extraOptions = 0;   // FILE_DELETE_ON_CLOSE, say
    PSECURITY_DESCRIPTOR security = nullptr; // for an entry it creates
};
// 0 and the opened handle, or the system's (Win32) code. `created` says whether it was made.
std::uint32_t openRelative(HANDLE folder, const std::wstring& name, const RelativeOpen& how,
                           UniqueKernelHandle& out, bool* created = nullptr);

} // namespace kestrave::win32
