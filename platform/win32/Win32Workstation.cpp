#include "platform/win32/Win32Workstation.h"

namespace kestrave::win32 {

namespace {
// WKSTA_USER_INFO_1, as lmwksta.h lays it out.
struct WkstaUserInfo1 {
    wchar_t* userName;
    wchar_t* logonDomain;
    wchar_t* otherDomains;
    wchar_t* logonServer;
};
} // namespace

std::uint32_t Win32Workstation::NetWkstaUserGetInfo(const wchar_t* reserved, std::uint32_t level,
                                                    void** record) {
    using Fn = DWORD(WINAPI*)(wchar_t*, DWORD, BYTE**);
    const auto fn = netapi_.get<Fn>("NetWkstaUserGetInfo");
    if (fn == nullptr) {
        return ERROR_PROC_NOT_FOUND;
    }
    BYTE* out = nullptr;
    const DWORD status = fn(const_cast<wchar_t*>(reserved), level, &out);
    if (status == 0) {
        *record = out;
    }
    return status;
}

const wchar_t* Win32Workstation::logonDomain(const void* record) const {
    return static_cast<const WkstaUserInfo1*>(record)->logonDomain;
}

std::uint32_t Win32Workstation::NetApiBufferFree(void* record) {
    using Fn = DWORD(WINAPI*)(void*);
    const auto fn = netapi_.get<Fn>("NetApiBufferFree");
    return fn ? fn(record) : ERROR_PROC_NOT_FOUND;
}

} // namespace kestrave::win32
