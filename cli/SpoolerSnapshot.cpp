#include "cli/SpoolerSnapshot.h"

#include "core/service/ServiceNames.h"
#include "core/spooler/SpoolFolder.h"
#include "core/text/TextFormat.h"
#include "platform/SystemError.h"
#include "resources/StringIds.h"

namespace kestrave::cli {

Snapshot snapshot(CliWorld& w) {
    Snapshot s;
    ServiceControl spooler(w.spooler.scm);
    spooler.setName(service::kSpooler);
    const ServiceControl::StateReading reading = spooler.readState();
    s.state = reading.state;
    s.missing = reading.error == err::kServiceDoesNotExist;
    spooler.startType(s.startType);
    const SpoolFolderChoice folder = chooseSpoolFolder(w.spooler.files, w.spooler.registry);
    try {
        if (folder.usable) {
            std::vector<FileEntry> entries;
            if (folder.open(w.spooler.files)->list(entries) == 0) {
                s.queued = filesARepairDeletes(entries);
                s.queuedBytes = bytesARepairDeletes(entries);
            }
        }
    } catch (const SystemError&) {
        // No folder, no queue.
    }
    return s;
}

std::wstring statusLine(const Snapshot& s, CliWorld& w) {
    return substitute(
        w.strings.text(IDS_CLI_STATUS),
        {stateText(s.state, s.missing, w.strings),
         s.missing ? w.strings.text(IDS_START_OTHER) : startTypeText(s.startType, w.strings),
         decimal(s.queued)});
}

} // namespace kestrave::cli
