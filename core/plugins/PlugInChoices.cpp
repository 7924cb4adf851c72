#include "core/plugins/PlugInChoices.h"

#include "core/plugins/PlugInNames.h"
#include "core/plugins/PlugInQuarantine.h"

namespace kestrave::plugins {

std::vector<PlugInChoice> plugInChoices(IRegistry& registry, IDiagnosisSources& sources) {
    std::vector<PlugInChoice> out;
    const std::wstring maker = sources.systemMaker();
    for (const bool processors : {true, false}) {
        for (const PlugIn& p : processors ? sources.printProcessors() : sources.portMonitors()) {
            if (isWindowsOwn(p.name)) {
                continue;
            }
            // Listed from another environment, or gone since: not one the spooler loads.
            const LivePlugIn live = findPlugIn(registry, sources, p.name);
            if (!live.found) {
                continue;
            }
            PlugInChoice c{live.name, live.kind, false, false, live.file, {}};
            c.claimsSystemMaker =
                !live.file.empty() && claimsSystemMaker(sources.systemFile(live.file).company, maker);
            if (live.kind == PlugInKind::Processor) {
                for (const PrinterUse& use : printersUsing(registry, live.name)) {
                    c.printers.push_back(use.printer);
                }
            }
            for (const std::wstring& printer :
                 printersWaitingFor(registry, sources.spoolerEnvironment(), live)) {
                c.printers.push_back(printer);
            }
            out.push_back(std::move(c));
        }
    }
    for (const QuarantineEntry& e : readQuarantine(registry)) {
        // What /unquarantine would take: a copy made whole, not one installed again meanwhile
        // (a restore cut short is offered, to be finished).
        if (!e.complete || e.restored || (e.liveKeyThere && !e.restoring)) {
            continue;
        }
        PlugInChoice c{e.name, e.kind, true, false, {}, {}};
        for (const PrinterUse& use : e.printers) {
            c.printers.push_back(use.printer);
        }
        out.push_back(std::move(c));
    }
    return out;
}

} // namespace kestrave::plugins
