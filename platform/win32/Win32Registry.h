#pragma once
#include "platform/IAnsiCodePage.h"
#include "platform/IRegistry.h"

namespace kestrave::win32 {

// advapi32's ANSI registry functions.
class Win32Registry : public IRegistry {
  public:
    std::int32_t RegOpenKeyExA(RegKey root, const char* subKey, std::uint32_t options,
                               std::uint32_t access, RegKey* result) override;
    std::int32_t RegQueryValueExA(RegKey key, const char* valueName, std::uint32_t* reserved,
                                  std::uint32_t* type, std::uint8_t* data,
                                  std::uint32_t* size) override;
    std::int32_t RegCloseKey(RegKey key) override;
};

// The system's ANSI code page (936 on a Simplified Chinese system).
class Win32AnsiCodePage : public IAnsiCodePage {
  public:
    std::string toAnsi(const std::wstring& text) const override;
    std::wstring fromAnsi(const std::string& text) const override;
};

} // namespace kestrave::win32
