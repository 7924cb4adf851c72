#pragma once
#include <vector>

#include <cstdint>
#include <string>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32Api.h"

namespace kestrave::win32 {

// Checks made through the handle the program then acts on, never by name beforehand: a
// name can be swapped between a check and a use, an open handle cannot.

// Whether this program runs with administrator rights (or as SYSTEM); true where that cannot
// be told, so that it is judged as strictly as an elevated run.
// The user SID of a process's token, as bytes; empty when it cannot be read.
std::vector<BYTE> accountOf(HANDLE process);

bool runsElevated();
// The process acts with the Administrators group: what changing the spooler takes.
bool holdsAdministratorRights();

// The accounts trusted with what the program keeps: SYSTEM, Administrators and
// TrustedInstaller. The account this program runs as is not among them, since an
// administrator's unelevated half has the same SID and could have made the object first; it
// counts only where it owns the Windows folder itself (as under Wine), and so could replace
// the system anyway.
bool isTrustedAccount(PSID sid);

// Whom a grant counts against: entries marked inherit-only reach only what is made inside.
enum class Inherited { ByTheObjectToo, OnlyByWhatIsMadeInside };
// Whether every grant of the DACL to an account that is not trusted stays within `allowed`
// (generic rights read as a file's; denials ignored; with OnlyByWhatIsMadeInside, entries
// that only pass on to what is made inside are skipped). A missing DACL admits everyone.
bool grantsWithin(PACL dacl, ACCESS_MASK allowed, Inherited inherited);

// Whether the object's owner is a trusted account: 0 when it is, ERROR_ACCESS_DENIED when
// another account owns it, or the code of the read.
std::uint32_t checkTrustedOwner(HANDLE object);

// Whom besides the trusted accounts a folder of the program's own may admit.
enum class OthersMay {
    Nothing, // the folder of kept jobs: nobody else may even read it
    Read,    // the program's folder above it: others may list and read (the log recipe)
};
// Whether the object is owned by a trusted account and its DACL grants nobody else more than
// `others` allows (denials may name anyone). 0, ERROR_ACCESS_DENIED, or the code of the read.
std::uint32_t checkAdminOnlyAccess(HANDLE object, OthersMay others = OthersMay::Nothing);

// Whether no account but the trusted ones could delete, rename or re-permission the object,
// or delete what is inside it: owned by a trusted account, and no grant to another account of
// DELETE, WRITE_DAC, WRITE_OWNER or FILE_DELETE_CHILD on the object itself (what a grant
// only passes on to what is made inside does not count). 0, ERROR_ACCESS_DENIED, or the code.
std::uint32_t checkNoOthersMayAlter(HANDLE object);

// Opens a file or folder itself, never what a link at its end points to. Sharing leaves out
// deletion, so while the handle is open the entry cannot be renamed away or replaced.
UniqueFileHandle openWithoutFollowing(const std::wstring& path, DWORD access, DWORD creation,
                                      DWORD flags, SECURITY_ATTRIBUTES* security = nullptr);

// 0 when the opened object is a real folder (not a link or junction), otherwise
// ERROR_DIRECTORY, ERROR_CANT_ACCESS_FILE for a link, or the code of the read.
std::uint32_t checkRealFolder(HANDLE folder);

// Whether an open handle really leads to `path` (its final path): false where a link the
// system followed lies on the way, or where that cannot be told.
bool leadsTo(HANDLE object, const std::wstring& path);

// A security descriptor for SYSTEM and Administrators only, inherited by what is made in a
// folder; `usersRead` lets Users read as well. Administrators own what is made with it,
// whatever the machine's policy for the owner of new objects. Freed with the attributes.
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
