#include "core/plugins/QuarantineSection.h"

#include "core/plugins/QuarantineList.h"
#include "resources/StringIds.h"

namespace kestrave::plugins {

ReportSection quarantineSection(IRegistry& registry, const IStringTable& strings) {
    ReportSection sec{IDS_DX_QUARANTINE, {}};
    for (const QuarantineLine& line : quarantineLines(registry, strings)) {
        std::wstring text = line.text;
        while (!text.empty() && text.front() == L' ') {
            text.erase(0, 1);
        }
        sec.findings.push_back({line.kind == QuarantineLine::Kind::Problem ? Finding::Kind::Problem
                                : line.kind == QuarantineLine::Kind::Note  ? Finding::Kind::Note
                                                                           : Finding::Kind::Info,
                                text});
    }
    if (sec.findings.empty()) {
        sec.findings.push_back({Finding::Kind::Info, strings.text(IDS_CLI_QUARANTINE_NONE)});
    }
    return sec;
}

} // namespace kestrave::plugins
