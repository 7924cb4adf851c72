#pragma once
#include <string>

#include "platform/IWorkstation.h"

namespace kestrave::fake {

class FakeWorkstation : public IWorkstation {
  public:
    std::wstring domain = L"OFFICE";
    std::uint32_t failWith = 0;
    int queries = 0;
    int frees = 0;

    std::uint32_t NetWkstaUserGetInfo(const wchar_t*, std::uint32_t level, void** record) override {
        ++queries;
        if (failWith != 0 || level != 1) {
            return failWith != 0 ? failWith : 124;
        }
        *record = &domain;
        return 0;
    }
    const wchar_t* logonDomain(const void* record) const override {
        return static_cast<const std::wstring*>(record)->c_str();
    }
    std::uint32_t NetApiBufferFree(void*) override {
        ++frees;
        return 0;
    }
};

} // namespace kestrave::fake
