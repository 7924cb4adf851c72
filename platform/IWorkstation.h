#pragma once
#include <cstdint>

namespace kestrave {

// Workstation information: NetWkstaUserGetInfo level 1 and NetApiBufferFree.
class IWorkstation {
  public:
    virtual ~IWorkstation() = default;
    // Returns 0 and a record to free on success; anything else leaves *record untouched.
    virtual std::uint32_t NetWkstaUserGetInfo(const wchar_t* reserved, std::uint32_t level,
                                              void** record) = 0;
    // The second member of a WKSTA_USER_INFO_1 record: the logon domain.
    virtual const wchar_t* logonDomain(const void* record) const = 0;
    virtual std::uint32_t NetApiBufferFree(void* record) = 0;
};

} // namespace kestrave
