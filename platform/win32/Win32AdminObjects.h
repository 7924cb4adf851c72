#pragma once
#include <string>

#include "platform/IAdminObjects.h"
#include "platform/win32/Handles.h"

namespace kestrave::win32 {

// Private namespaces where kernel32 has them (looked up at run time: Wine has none), lock
// files in %ProgramData%\Kestrave otherwise.
class Win32AdminObjects : public IAdminObjects {
  public:
    bool privateNamespaces() override;
    std::uint32_t createNamespace(const std::wstring& name, Token& out) override;
    std::uint32_t openLockFile(const std::wstring& name, Token& out) override;
    void close(Token token) override;
};

// %ProgramData%\Kestrave, made for SYSTEM and Administrators when missing, and opened so that
// it cannot be renamed or replaced while the handle is held. Refused (ERROR_ACCESS_DENIED,
// or the code) when it is a link, not a folder, or owned by an untrusted account: a standard
// user may have made it first.
std::uint32_t openProgramDataFolder(std::wstring& path, UniqueFileHandle& folder);

} // namespace kestrave::win32
