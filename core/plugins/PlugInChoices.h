#pragma once
#include <string>
#include <vector>

#include "core/plugins/QuarantineJournal.h"
#include "platform/IDiagnosisSources.h"

namespace kestrave::plugins {

// A plug-in the window may offer to take out, or to put back, with what to say before.
struct PlugInChoice {
    std::wstring name;
    PlugInKind kind = PlugInKind::Processor;
    bool quarantined = false;       // in the quarantine: offered back
    bool claimsSystemMaker = false; // its file names the system's maker: asked twice
    std::wstring file;
    // The printers it changes: pointed at winprint, or unable to print until it is back.
    std::vector<std::wstring> printers;
};

// The third-party plug-ins of the spooler's own environment, then what the quarantine holds
// whole; read only.
std::vector<PlugInChoice> plugInChoices(IRegistry& registry, IDiagnosisSources& sources);

} // namespace kestrave::plugins
