#include "cli/OperationLines.h"

#include "core/text/TextFormat.h"
#include "resources/StringIds.h"

namespace kestrave::cli {

std::vector<std::wstring> describeLines(Operation op, const std::vector<Problem>& which,
                                        CliWorld& w) {
    std::vector<std::wstring> out;
    const std::wstring text = describeProblems(op, which, w.strings, w.systemMessage);
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t end = text.find(L'\n', from);
        if (end == std::wstring::npos) {
            end = text.size();
        }
        if (end > from) {
            out.push_back(text.substr(from, end - from));
        }
        from = end + 1;
    }
    return out;
}

std::wstring doneLine(Operation op, const Outcome& o, CliWorld& w) {
    const IStringTable& s = w.strings;
    const OperationRow& row = rowOf(op);
    switch (row.carries) {
    case Carries::Nothing:
        return s.text(row.cliDone);
    case Carries::PlugIn:
        return substitute(s.text(row.cliDone), o.plugIn);
    case Carries::Restored:
        return substitute(s.text(row.cliDone), {decimal(o.jobsRestored), o.keptIn});
    case Carries::Repair:
        break;
    }
    if (o.filesKept != 0) {
        return substitute(s.text(IDS_CLI_REPAIR_DONE_KEPT), {decimal(o.filesKept), o.keptIn,
                                                             decimal(o.filesDeleted)});
    }
    return o.filesDeleted == 0
               ? s.text(IDS_CLI_REPAIR_DONE_EMPTY)
               : substitute(s.text(row.cliDone), decimal(o.filesDeleted));
}

} // namespace kestrave::cli
