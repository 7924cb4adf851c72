#pragma once
#include <string>

#include "core/plugins/QuarantineJournal.h"
#include "core/spooler/SpoolerOperation.h"
#include "platform/IDiagnosisSources.h"
#include "platform/IEventLog.h"

namespace kestrave::plugins {

struct PlugInRequest {
    std::wstring name;
    bool putBack = false; // false: take it out
    bool force = false;   // take out one whose file claims the system's maker
};

// A print processor or port monitor of the spooler's own environment, found by name.
struct LivePlugIn {
    bool found = false;
    PlugInKind kind = PlugInKind::Processor;
    std::wstring name; // as the registry spells it
    std::wstring key;
    std::wstring file; // where its DLL is, for its version record
};
LivePlugIn findPlugIn(IRegistry& registry, IDiagnosisSources& sources, const std::wstring& name);
// The printers a plug-in serves: through their Print Processor (recorded to be put back), and
// those on its ports or with drivers naming it as their language monitor.
std::vector<PrinterUse> printersUsing(IRegistry& registry, const std::wstring& processor);
std::vector<std::wstring> printersWaitingFor(IRegistry& registry, const std::wstring& environment,
                                             const LivePlugIn& monitor);

// Takes a third-party plug-in out of the spooler into the quarantine, or puts it back,
// with the repair's own stop and start; the journal makes every step one that the next run
// can finish or undo.
class PlugInQuarantine : public SpoolerOperation {
  public:
    PlugInQuarantine(SpoolerWorld world, IDiagnosisSources& sources, IEventLog& log,
                     IOperationObserver& observer, PlugInRequest request, Timing timing = {})
        : SpoolerOperation(world, observer, timing), sources_(sources), log_(log),
          request_(std::move(request)) {}

  private:
    Outcome runHeld() override;
    // Refusals, before anything is stopped; true when it may go on.
    bool admissible(Outcome& outcome, LivePlugIn& live, QuarantineEntry& entry);
    void takeOut(const LivePlugIn& live, Outcome& outcome);
    void putBack(const QuarantineEntry& entry, Outcome& outcome);

    IDiagnosisSources& sources_;
    IEventLog& log_;
    PlugInRequest request_;
};

} // namespace kestrave::plugins
