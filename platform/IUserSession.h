#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace kestrave {

// The user the program acts for, as far as the default printer is concerned.
class IUserSession {
  public:
    virtual ~IUserSession() = default;
    // Whether Windows moves the default printer to the one used last (on Windows 10 and later,
    // while LegacyDefaultPrinterMode under HKCU is 0 or missing). False on a Windows without
    // that setting.
    virtual bool windowsManagesDefaultPrinter() = 0;
    // Turns that off for this user (LegacyDefaultPrinterMode = 1): 0 or the system's code.
    virtual std::uint32_t stopWindowsManagingDefaultPrinter() = 0;
    // This program's account (DOMAIN\name) when it is not the user who owns the desktop, as
    // when a standard user elevated with an administrator's password; none when it is the same
    // or that cannot be told.
    virtual std::optional<std::wstring> accountIfNotDesktopUser() = 0;
};

} // namespace kestrave
