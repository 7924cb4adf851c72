#pragma once
#include "platform/IUserSession.h"

namespace kestrave::win32 {

class Win32UserSession : public IUserSession {
  public:
    bool windowsManagesDefaultPrinter() override;
    std::uint32_t stopWindowsManagingDefaultPrinter() override;
    std::optional<std::wstring> accountIfNotDesktopUser() override;
};

} // namespace kestrave::win32
