#pragma once
#include "platform/IUserSession.h"

namespace kestrave::fake {

class FakeUserSession : public IUserSession {
  public:
    bool windowsManages = false; // a Windows with the setting, and it on
    std::uint32_t refuseWrite = 0;
    int writes = 0;
    std::optional<std::wstring> otherAccount;

    bool windowsManagesDefaultPrinter() override { return windowsManages; }
    std::uint32_t stopWindowsManagingDefaultPrinter() override {
        ++writes;
        if (refuseWrite != 0) {
            return refuseWrite;
        }
        windowsManages = false;
        return 0;
    }
    std::optional<std::wstring> accountIfNotDesktopUser() override { return otherAccount; }
};

} // namespace kestrave::fake
