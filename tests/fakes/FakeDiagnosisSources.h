#pragma once
#include <map>

#include "platform/IDiagnosisSources.h"
#include "platform/SystemError.h"
#include "tests/fakes/FakeThreads.h"

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
    // A source that hangs, as one waiting on a print server that never answers, until let go.
    std::atomic<bool> holdPrinters{false};
    std::atomic<bool> holdLogs{false};
    Signal letGo;
    std::atomic<int> printersAsked{0};

    std::optional<ServiceDetails> serviceDetails(const std::wstring&) override { return spooler; }
    std::wstring environment = L"Windows x64";
    std::wstring spoolerEnvironment() override { return environment; }
    std::vector<PlugIn> printProcessors() override { return processors; }
    std::vector<PlugIn> portMonitors() override { return monitors; }
    SystemFile systemFile(const std::wstring& name) override {
        const auto f = files.find(name);
        return f == files.end() ? SystemFile{} : f->second;
    }
    std::wstring systemMaker() override { return L"Microsoft Corporation"; }
    std::vector<PrinterDetails> printers() override {
        ++printersAsked;
        if (holdPrinters) {
            letGo.waitForever();
        }
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
        if (holdLogs) {
            letGo.waitForever();
        }
        askedDisplayName = displayName;
        return failures;
    }
    EventTally printServiceErrors(int) override {
        if (holdLogs) {
            letGo.waitForever();
        }
        return pluginErrors;
    }
    std::optional<std::uint32_t> restrictDriverInstallation() override { return restrict; }
};

} // namespace kestrave::fake
