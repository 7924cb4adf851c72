#pragma once
#include <cstdint>
#include <string>

namespace kestrave {

// Objects that only administrators and SYSTEM can create or open, for the program's locks.
// No standard user, and no process below high integrity, can make one first and so block
// the program. Every call returns 0 or the system's code.
class IAdminObjects {
  public:
    // An object kept while its token is open; 0 is none.
    using Token = std::uintptr_t;

    virtual ~IAdminObjects() = default;
    // Whether the system has private namespaces (looked up at run time).
    virtual bool privateNamespaces() = 0;
    // Creates the private namespace of that name, whose boundary requires the Administrators
    // group, for SYSTEM and Administrators only; it lasts until close() destroys it.
    // err::kAlreadyExists while another holds one of that name.
    virtual std::uint32_t createNamespace(const std::wstring& name, Token& out) = 0;
    // Opens the lock file of that name for this process alone, in the program's folder
    // under ProgramData (made for SYSTEM and Administrators only, and checked through its
    // handle: a real folder, owned by SYSTEM, Administrators or this account).
    // err::kSharingViolation while another process holds it.
    virtual std::uint32_t openLockFile(const std::wstring& name, Token& out) = 0;
    virtual void close(Token token) = 0;
};

} // namespace kestrave
