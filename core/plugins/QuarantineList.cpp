#include "core/plugins/QuarantineList.h"

#include "core/keep/UtcTime.h"
#include "core/plugins/QuarantineJournal.h"
#include "core/text/TextFormat.h"
#include "resources/StringIds.h"

namespace kestrave::plugins {

std::vector<QuarantineLine> quarantineLines(IRegistry& registry, const IStringTable& strings) {
    std::vector<QuarantineLine> out;
    for (const QuarantineEntry& e : readQuarantine(registry)) {
        if (!e.complete) {
            continue; // an unfinished copy: the next change drops it, nothing was taken out
        }
        out.push_back({QuarantineLine::Kind::Info,
                       substitute(strings.text(IDS_CLI_QUARANTINE_ENTRY),
                                  {e.name,
                                   strings.text(e.kind == PlugInKind::Processor ? IDS_KIND_PROCESSOR
                                                                                : IDS_KIND_MONITOR),
                                   utcText(e.when), e.by})});
        if (e.restoring && !e.restored) {
            out.push_back({QuarantineLine::Kind::Problem,
                           substitute(strings.text(IDS_QUARANTINE_RESTORE_CUT), e.name)});
        } else if (e.moved && e.liveKeyThere) {
            out.push_back({QuarantineLine::Kind::Note,
                           substitute(strings.text(IDS_QUARANTINE_REINSTALLED), e.name)});
        }
    }
    return out;
}

} // namespace kestrave::plugins
