#pragma once
#include "platform/IDiagnosisSources.h"
#include "platform/win32/SystemLibrary.h"

namespace kestrave::win32 {

// The diagnosis's reads of the service manager, the registry, System32's files, the printers
// and the event logs. winspool.drv and wevtapi.dll come from System32 at first use.
class Win32DiagnosisSources : public IDiagnosisSources {
  public:
    std::optional<ServiceDetails> serviceDetails(const std::wstring& service) override;
    std::wstring spoolerEnvironment() override;
    std::vector<PlugIn> printProcessors() override;
    std::vector<PlugIn> portMonitors() override;
    SystemFile systemFile(const std::wstring& name) override;
    std::wstring systemMaker() override;
    std::vector<PrinterDetails> printers() override;
    std::vector<QueuedFile> queuedFiles(const std::wstring& folder) override;
    EventTally serviceFailures(const std::wstring& displayName, int days) override;
    EventTally printServiceErrors(int days) override;
    std::optional<std::uint32_t> restrictDriverInstallation() override;

  private:
    SystemLibrary winspool_{L"winspool.drv"};
    SystemLibrary wevtapi_{L"wevtapi.dll"};
};

} // namespace kestrave::win32
