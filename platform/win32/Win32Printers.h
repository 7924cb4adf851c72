#pragma once
#include "platform/IPrinters.h"
#include "platform/win32/SystemLibrary.h"

namespace kestrave::win32 {

// winspool.drv, from System32 at first use.
class Win32Printers : public IPrinters {
  public:
    std::vector<std::wstring> enumPrinters() override;
    std::optional<std::wstring> defaultPrinter() override;
    std::uint32_t setDefaultPrinter(const std::wstring& name) override;

  private:
    SystemLibrary winspool_{L"winspool.drv"};
};

// "WScript.Network" through IDispatch, created afresh for every call.
class Win32NetworkObjectFactory : public INetworkObjectFactory {
  public:
    std::unique_ptr<INetworkObject> create(const std::wstring& progId) override;
};

} // namespace kestrave::win32
