#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/plugins/PlugInChoices.h"
#include "platform/IDiagnosisSources.h"
#include "platform/IFileSystem.h"
#include "platform/IRegistry.h"
#include "platform/IServiceManager.h"
#include "platform/IStringTable.h"
#include "platform/IUserSession.h"

namespace kestrave {

// What the diagnosis reads; it changes nothing.
struct DiagnosisWorld {
    IServiceManager& scm;
    IFileSystem& files;
    IRegistry& registry;
    IDiagnosisSources& sources;
    IUserSession& session;
    // The system's own text for an error code.
    std::function<std::wstring(std::uint32_t)> systemMessage;
};

struct Finding {
    enum class Kind { Info, Note, Problem };
    Kind kind = Kind::Info;
    std::wstring text;
};

struct ReportSection {
    int title = 0; // string id
    std::vector<Finding> findings;
    // Its problems come before the others' among the problems found: what exposes the
    // machine to attack matters more than a stopped spooler.
    bool first = false;
};

// Why the spooler fails, section by section; a problem says what it means and what to do.
struct Report {
    std::vector<ReportSection> sections;
    // The third-party plug-ins it names, and what the quarantine holds: what the window offers.
    std::vector<plugins::PlugInChoice> plugIns;
    std::size_t problems() const;
    // The report as text lines, problems first, in the string table's language.
    std::vector<std::wstring> lines(const IStringTable& strings) const;
};

Report diagnose(DiagnosisWorld& world, const IStringTable& strings);

} // namespace kestrave
