#pragma once
#include "platform/IWorkstation.h"
#include "platform/win32/SystemLibrary.h"

namespace kestrave::win32 {

// netapi32's workstation information, from System32 at first use.
class Win32Workstation : public IWorkstation {
  public:
    std::uint32_t NetWkstaUserGetInfo(const wchar_t* reserved, std::uint32_t level,
                                      void** record) override;
    const wchar_t* logonDomain(const void* record) const override;
    std::uint32_t NetApiBufferFree(void* record) override;

  private:
    SystemLibrary netapi_{L"netapi32.dll"};
};

} // namespace kestrave::win32
