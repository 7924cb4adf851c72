#pragma once
#include "platform/IAnsiCodePage.h"
#include "platform/IRegistry.h"

namespace kestrave::win32 {

// advapi32's wide registry functions, each key opened for what is done with it alone.
class Win32Registry : public IRegistry {
  public:
    std::uint32_t readMachineValue(const std::wstring& subKey, const std::wstring& name,
                                   RegistryData& out) override;
    std::uint32_t machineSubKeys(const std::wstring& subKey,
                                 std::vector<std::wstring>& out) override;
    std::uint32_t writeMachineDword(const std::wstring& subKey, const std::wstring& name,
                                    std::uint32_t value) override;
    std::uint32_t writeMachineValue(const std::wstring& subKey, const std::wstring& name,
                                    const RegistryData& data) override;
    std::uint32_t deleteMachineValue(const std::wstring& subKey, const std::wstring& name) override;
    // The trees, in RegistryTrees.cpp.
    std::uint32_t readMachineKey(const std::wstring& subKey, RegistryKeyCopy& out) override;
    std::uint32_t createMachineKey(const std::wstring& subKey, const RegistryKeyCopy& copy,
                                   bool withSecurity) override;
    std::uint32_t deleteMachineKey(const std::wstring& subKey) override;
    std::uint32_t secureMachineKey(const std::wstring& subKey) override;
};

// The system's ANSI code page (936 on a Simplified Chinese system), for the texts of the
// C++ runtime's exceptions.
class Win32AnsiCodePage : public IAnsiCodePage {
  public:
    std::string toAnsi(const std::wstring& text) const override;
    std::wstring fromAnsi(const std::string& text) const override;
};

} // namespace kestrave::win32
