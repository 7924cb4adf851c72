#pragma once
#include <cstdint>
#include <string>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32Api.h"

namespace kestrave::win32 {

// Checks made through the handle the program then acts on, never by name beforehand: a
// name can be swapped between a check and a use, an open handle cannot.

// Whether the object's owner is SYSTEM, Administrators, TrustedInstaller or the account this
// program runs as: the accounts that could do as much as the program anyway. 0 when it is,
// ERROR_ACCESS_DENIED when another account owns it, or the code of the read.
std::uint32_t checkTrustedOwner(HANDLE object);

// Whether the object is owned as checkTrustedOwner wants and its DACL admits nobody but
// SYSTEM, Administrators and the account this program runs as (denials may name anyone).
// 0, ERROR_ACCESS_DENIED, or the code of the read.
std::uint32_t checkAdminOnlyAccess(HANDLE object);

// Opens a file or folder itself, never what a link at its end points to. Sharing leaves out
// deletion, so while the handle is open the entry cannot be renamed away or replaced.
UniqueFileHandle openWithoutFollowing(const std::wstring& path, DWORD access, DWORD creation,
                                      DWORD flags, SECURITY_ATTRIBUTES* security = nullptr);

// 0 when the opened object is a real folder (not a link or junction), otherwise
// ERROR_DIRECTORY, ERROR_CANT_ACCESS_FILE for a link, or the code of the read.
std::uint32_t checkRealFolder(HANDLE folder);

// A path as the file system compares it: without the "\\?\" form or a trailing backslash,
// without regard to case.
std::wstring comparablePath(const std::wstring& path);

// Whether an open handle really leads to `path` (its final path): false where a link the
// system followed lies on the way, or where that cannot be told.
bool leadsTo(HANDLE object, const std::wstring& path);

// A security descriptor for SYSTEM and Administrators only, inherited by what is made in a
// folder; `usersRead` lets Users read as well. Freed with the attributes.
class AdminOnlySecurity {
  public:
    explicit AdminOnlySecurity(bool usersRead = false);
    ~AdminOnlySecurity();
    AdminOnlySecurity(const AdminOnlySecurity&) = delete;
    AdminOnlySecurity& operator=(const AdminOnlySecurity&) = delete;
    // Null when the descriptor could not be made: then nothing should be created with it.
    SECURITY_ATTRIBUTES* attributes() { return descriptor_ ? &attributes_ : nullptr; }

  private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    SECURITY_ATTRIBUTES attributes_{};
};

} // namespace kestrave::win32
