#include "core/spooler/OutcomeText.h"

#include "resources/StringIds.h"

namespace kestrave {

std::wstring substitute(std::wstring text, const std::wstring& value) {
    if (const std::size_t at = text.find(L"%1"); at != std::wstring::npos) {
        text.replace(at, 2, value);
    }
    return text;
}

namespace {
int textOf(Operation operation, ProblemKind kind) {
    const bool repair = operation == Operation::Repair;
    switch (kind) {
    case ProblemKind::StateUnreadable:
        return IDS_PROBLEM_STATE;
    case ProblemKind::StopRefused:
        return repair ? IDS_REPAIR_CANNOT_STOP : IDS_DISABLE_CANNOT_STOP;
    case ProblemKind::StopTimedOut:
        return repair ? IDS_REPAIR_STOP_TIMEOUT : IDS_DISABLE_STOP_TIMEOUT;
    case ProblemKind::DependentNotStopped:
        return IDS_PROBLEM_DEPENDENT_STOP;
    case ProblemKind::QueueUnlisted:
        return IDS_PROBLEM_QUEUE_UNLISTED;
    case ProblemKind::FileNotDeleted:
        return IDS_REPAIR_FILES_LEFT;
    case ProblemKind::QueueNotEmpty:
        return IDS_PROBLEM_QUEUE_LEFT;
    case ProblemKind::StartTypeNotSet:
        return repair ? IDS_PROBLEM_AUTO_START : IDS_PROBLEM_DISABLED;
    case ProblemKind::StartRefused:
        return IDS_PROBLEM_START;
    case ProblemKind::StartTimedOut:
        return IDS_PROBLEM_START_TIMEOUT;
    case ProblemKind::DependentNotStarted:
        return IDS_PROBLEM_DEPENDENT_START;
    }
    return 0;
}
} // namespace

std::wstring describeProblems(Operation operation, const std::vector<Problem>& problems,
                              const IStringTable& strings, const SystemMessage& systemMessage) {
    std::wstring text;
    bool filesListed = false;
    for (const Problem& p : problems) {
        if (p.kind == ProblemKind::FileNotDeleted) {
            // The files that stayed share one heading, a line each.
            if (!filesListed) {
                text += (text.empty() ? L"" : L"\n\n") + strings.text(IDS_REPAIR_FILES_LEFT);
                filesListed = true;
            }
            text += L"\n" + p.subject + strings.text(IDS_REASON_SEPARATOR) + systemMessage(p.code);
            continue;
        }
        std::wstring line = strings.text(textOf(operation, p.kind));
        line = substitute(line, p.kind == ProblemKind::QueueNotEmpty ? std::to_wstring(p.count)
                                                                     : p.subject);
        if (p.code != 0) {
            line += systemMessage(p.code);
        }
        text += (text.empty() ? L"" : L"\n\n") + line;
    }
    return text;
}

} // namespace kestrave
