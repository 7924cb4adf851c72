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
    switch (op) {
    case Operation::Disable:
        return s.text(IDS_CLI_DISABLE_DONE);
    case Operation::Quarantine:
        return substitute(s.text(IDS_CLI_QUARANTINE_DONE), o.plugIn);
    case Operation::Unquarantine:
        return substitute(s.text(IDS_CLI_UNQUARANTINE_DONE), o.plugIn);
    case Operation::Restore:
        return substitute(s.text(IDS_CLI_RESTORE_DONE),
                          {decimal(o.jobsRestored), o.keptIn});
    case Operation::Repair:
        break;
    }
    if (o.filesKept != 0) {
        return substitute(s.text(IDS_CLI_REPAIR_DONE_KEPT), {decimal(o.filesKept), o.keptIn,
                                                             decimal(o.filesDeleted)});
    }
    return o.filesDeleted == 0
               ? s.text(IDS_CLI_REPAIR_DONE_EMPTY)
               : substitute(s.text(IDS_CLI_REPAIR_DONE), decimal(o.filesDeleted));
}

} // namespace kestrave::cli
