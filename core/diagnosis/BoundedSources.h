#pragma once
#include "core/diagnosis/BoundedCall.h"
#include "platform/IDiagnosisSources.h"
#include "platform/IThreads.h"

namespace kestrave {

// How long the sources that can hang are given: enumerating printers waits on every print
// server a connection names, and an event log query on the event log service.
struct SourceBounds {
    std::uint32_t printersMs = 10000;
    std::uint32_t eventLogMs = 5000;
};

// The diagnosis's sources with those calls bounded; what ran out of time says so (a
// SourceTimedOut, or a tally with err::kTimeout). Lives as long as the program, so that a
// call still held up from an earlier reading is waited for rather than asked again.
class BoundedSources : public IDiagnosisSources {
  public:
    BoundedSources(IDiagnosisSources& inner, IThreads& threads, SourceBounds bounds = {})
        : inner_(inner), threads_(threads), bounds_(bounds) {}

    std::optional<ServiceDetails> serviceDetails(const std::wstring& service) override {
        return inner_.serviceDetails(service);
    }
    std::wstring spoolerEnvironment() override { return inner_.spoolerEnvironment(); }
    std::vector<PlugIn> printProcessors() override { return inner_.printProcessors(); }
    std::vector<PlugIn> portMonitors() override { return inner_.portMonitors(); }
    SystemFile systemFile(const std::wstring& name) override { return inner_.systemFile(name); }
    std::wstring systemMaker() override { return inner_.systemMaker(); }
    std::vector<QueuedFile> queuedFiles(const std::wstring& folder) override {
        return inner_.queuedFiles(folder);
    }
    std::optional<std::uint32_t> restrictDriverInstallation() override {
        return inner_.restrictDriverInstallation();
    }
    std::vector<PrinterDetails> printers() override;
    EventTally serviceFailures(const std::wstring& displayName, int days) override;
    EventTally printServiceErrors(int days) override;

  private:
    EventTally tally(BoundedCall<EventTally>& call, const std::wstring& question,
                     std::function<EventTally()> work);
    IDiagnosisSources& inner_;
    IThreads& threads_;
    SourceBounds bounds_;
    BoundedCall<std::vector<PrinterDetails>> printers_;
    BoundedCall<EventTally> failures_;
    BoundedCall<EventTally> pluginErrors_;
};

} // namespace kestrave
