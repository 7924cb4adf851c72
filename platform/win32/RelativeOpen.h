#pragma once
#include <cstdint>
#include <string>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32Api.h"

namespace kestrave::win32 {

// Opens the entry of exactly that name inside an open folder, relative to the folder's handle
// (NtCreateFile with a root directory): no path is resolved again, so nothing renamed or
// linked along the folder's path meanwhile can send the open elsewhere. The entry itself is
// opened, never what a link points to; a file, or a folder where `folder` says so.
struct RelativeOpen {
    DWORD access = 0;
    DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    DWORD disposition = 1;                   // FILE_OPEN; FILE_OPEN_IF (3) creates it when missing
    DWORD extraOptions = 0;                  // FILE_DELETE_ON_CLOSE, say
    PSECURITY_DESCRIPTOR security = nullptr; // for an entry it creates
    bool folder = false;                     // a folder, never a file
};
// 0 and the opened handle, or the system's (Win32) code. `created` says whether it was made.
// An open never waits for another process's oplock to be broken (FILE_COMPLETE_IF_OPLOCKED):
// a file whose break is in progress is closed at once and reported as held, so nothing a
// standard user plants in a queue can hang the program.
std::uint32_t openRelative(HANDLE folder, const std::wstring& name, const RelativeOpen& how,
                           UniqueKernelHandle& out, bool* created = nullptr);

// What an open's NT status means here: 0 for a plain success, ERROR_SHARING_VIOLATION for a
// success that only started an oplock break (STATUS_OPLOCK_BREAK_IN_PROGRESS, a success
// code whose handle would still wait at its first I/O), or the status as a Win32 code.
std::uint32_t openStatusCode(long status);

// Deletes the open file (opened with DELETE) when its handle closes; a read-only file has its
// attribute reset through the same handle first (opened with FILE_WRITE_ATTRIBUTES too), so a
// planted read-only file cannot make every repair fail. 0 or the system's code.
std::uint32_t markForDeletion(HANDLE file);

// Renames an open file to `name` inside `targetFolder`, relative to that folder's handle
// (NtSetInformationFile: SetFileInformationByHandle refuses a root folder under Wine). Never
// replaces: 0, ERROR_FILE_EXISTS for a name taken, ERROR_NOT_SAME_DEVICE across volumes, or
// the system's code.
std::uint32_t renameRelative(HANDLE file, HANDLE targetFolder, const std::wstring& name);

// The bytes free to the caller on the volume of an open file or folder.
std::uint32_t volumeFreeBytes(HANDLE object, std::uint64_t& out);

} // namespace kestrave::win32
