#pragma once
#include <map>

#include "platform/IDiagnosisSources.h"
#include "platform/SystemError.h"

namespace kestrave::fake {

class FakeDiagnosisSources : public IDiagnosisSources {
  public:
    std::optional<ServiceDetails> spooler = ServiceDetails{
        L"Print Spooler", L"C:\\Windows\\System32\\spoolsv.exe", {L"RPCSS", L"http"}, {}};
    std::vector<PlugIn> processors{{L"winprint", L"winprint.dll", {}}};
    std::vector<PlugIn> monitors{{L"Local Port", L"localspl.dll", {}}};
    std::map<std::wstring, SystemFile> files{{L"winprint.dll", {true, L"Microsoft Corporation"}},
                                             {L"localspl.dll", {true, L"Microsoft Corporation"}}};
    std::vector<PrinterDetails> printerList;
    bool printersFail = false;
    std::map<std::wstring, std::vector<QueuedFile>> queued;
    EventTally failures{true, 0, 0, L""};
    EventTally pluginErrors{true, 0, 0, L""};
    std::optional<std::uint32_t> restrict;
    std::wstring askedDisplayName;

    std::optional<ServiceDetails> serviceDetails(const std::wstring&) override { return spooler; }
    std::vector<PlugIn> printProcessors() override { return processors; }
    std::vector<PlugIn> portMonitors() override { return monitors; }
    SystemFile systemFile(const std::wstring& name) override {
        const auto f = files.find(name);
        return f == files.end() ? SystemFile{} : f->second;
    }
    std::wstring systemMaker() override { return L"Microsoft Corporation"; }
    std::vector<PrinterDetails> printers() override {
        if (printersFail) {
            throw SystemError(1722, "printers unreadable");
        }
        return printerList;
    }
    std::vector<QueuedFile> queuedFiles(const std::wstring& folder) override {
        const std::wstring plain = folder.rfind(L"\\\\?\\", 0) == 0 ? folder.substr(4) : folder;
        return queued[plain];
    }
    EventTally serviceFailures(const std::wstring& displayName, int) override {
        askedDisplayName = displayName;
        return failures;
    }
    EventTally printServiceErrors(int) override { return pluginErrors; }
    std::optional<std::uint32_t> restrictDriverInstallation() override { return restrict; }
};

} // namespace kestrave::fake
