#include "core/spooler/OutcomeText.h"

#include <iterator>

#include "core/spooler/Problems.h"
#include "core/text/TextFormat.h"
#include "platform/IServiceManager.h"
#include "resources/StringIds.h"

namespace kestrave {

namespace {
// Values and their texts, read as tables: a value not in one gives its fallback.
struct TextOf {
    std::uint32_t value;
    int text;
};
template <std::size_t N> int lookUp(const TextOf (&table)[N], std::uint32_t value, int otherwise) {
    for (const TextOf& entry : table) {
        if (entry.value == value) {
            return entry.text;
        }
    }
    return otherwise;
}

constexpr TextOf kStates[] = {
    {scm::kStopped, IDS_STATE_STOPPED},
    {scm::kStartPending, IDS_STATE_START_PENDING},
    {scm::kStopPending, IDS_STATE_STOP_PENDING},
    {scm::kRunning, IDS_STATE_RUNNING},
    {scm::kContinuePending, IDS_STATE_CONTINUE_PENDING},
    {scm::kPausePending, IDS_STATE_PAUSE_PENDING},
    {scm::kPaused, IDS_STATE_PAUSED},
};

constexpr TextOf kStartTypes[] = {
    {scm::kAutoStart, IDS_START_AUTO},
    {scm::kDemandStart, IDS_START_DEMAND},
    {scm::kDisabled, IDS_START_DISABLED},
};

constexpr TextOf kSteps[] = {
    {static_cast<std::uint32_t>(Step::StoppingDependents), IDS_STEP_STOPPING_DEPENDENTS},
    {static_cast<std::uint32_t>(Step::Stopping), IDS_STEP_STOPPING},
    {static_cast<std::uint32_t>(Step::WaitingForStop), IDS_STEP_WAITING_FOR_STOP},
    {static_cast<std::uint32_t>(Step::EndingHungSpooler), IDS_STEP_ENDING_HUNG},
    {static_cast<std::uint32_t>(Step::ClearingQueue), IDS_STEP_CLEARING},
    {static_cast<std::uint32_t>(Step::SettingStartType), IDS_STEP_SETTING_START_TYPE},
    {static_cast<std::uint32_t>(Step::Starting), IDS_STEP_STARTING},
    {static_cast<std::uint32_t>(Step::WaitingForRun), IDS_STEP_WAITING_FOR_RUN},
    {static_cast<std::uint32_t>(Step::StartingDependents), IDS_STEP_STARTING_DEPENDENTS},
    {static_cast<std::uint32_t>(Step::WaitingForOtherKestrave), IDS_STEP_WAITING_FOR_OTHER},
    {static_cast<std::uint32_t>(Step::RestoringJobs), IDS_STEP_RESTORING},
    {static_cast<std::uint32_t>(Step::MovingPlugIn), IDS_STEP_MOVING_PLUGIN},
    {static_cast<std::uint32_t>(Step::RestoringPlugIn), IDS_STEP_RESTORING_PLUGIN},
};
static_assert(std::size(kSteps) == static_cast<std::size_t>(kLastStep) + 1,
              "every step has its text, and the last step is the last");
} // namespace

std::wstring stateText(std::uint32_t state, bool missing, const IStringTable& strings) {
    return strings.text(missing ? IDS_STATE_MISSING : lookUp(kStates, state, IDS_STATE_UNREADABLE));
}

std::wstring startTypeText(std::uint32_t startType, const IStringTable& strings) {
    return strings.text(lookUp(kStartTypes, startType, IDS_START_OTHER));
}

std::wstring stepText(Step step, const IStringTable& strings) {
    return strings.text(lookUp(kSteps, static_cast<std::uint32_t>(step), IDS_STEP_STOPPING));
}

bool succeeded(Operation operation, const Outcome& o) {
    return o.problems.empty() && (rowOf(operation).endsStopped
                                      ? o.spoolerStopped && o.startTypeChanged
                                      : o.spoolerRunning);
}

namespace {
// What a successful repair did, with as much detail as asked for: 2 everything, 1 without
// the services started again, 0 the queue and the running spooler alone.
std::wstring repairedLine(const Outcome& o, const IStringTable& strings, int detail) {
    std::vector<std::wstring> parts;
    if (o.hadToEndSpooler && detail >= 1) {
        parts.push_back(strings.text(IDS_OUTCOME_ENDED));
    }
    // Nothing cleared is said as such, never as "0 files deleted".
    if (o.filesKept != 0) {
        parts.push_back(substitute(strings.text(IDS_OUTCOME_KEPT),
                                   groupedNumber(o.filesKept, strings.language())));
    }
    if (o.filesDeleted != 0 || o.filesKept == 0) {
        parts.push_back(o.filesDeleted == 0
                            ? strings.text(IDS_OUTCOME_NOTHING_CLEARED)
                            : substitute(strings.text(IDS_OUTCOME_CLEARED),
                                         groupedNumber(o.filesDeleted, strings.language())));
    }
    if (o.startTypeChanged && detail >= 1) {
        parts.push_back(strings.text(IDS_OUTCOME_AUTO));
    }
    parts.push_back(strings.text(IDS_OUTCOME_RUNNING));
    if (detail >= 2) {
        for (const std::wstring& d : o.dependentsRestarted) {
            parts.push_back(substitute(strings.text(IDS_OUTCOME_DEPENDENTS), d));
        }
    }
    std::wstring joined;
    for (const std::wstring& p : parts) {
        joined += (joined.empty() ? L"" : strings.text(IDS_LIST_SEPARATOR)) + p;
    }
    return substitute(strings.text(rowOf(Operation::Repair).doneLine), joined);
}
} // namespace

std::wstring outcomeLine(Operation operation, const Outcome& o, const IStringTable& strings) {
    return outcomeLines(operation, o, strings).front();
}

std::vector<std::wstring> outcomeLines(Operation operation, const Outcome& o,
                                       const IStringTable& strings) {
    const OperationRow& row = rowOf(operation);
    if (!succeeded(operation, o)) {
        return {strings.text(row.failedLine)};
    }
    switch (row.carries) {
    case Carries::Nothing:
        return {strings.text(row.doneLine)};
    case Carries::PlugIn:
        return {substitute(strings.text(row.doneLine), o.plugIn)};
    case Carries::Restored:
        return {substitute(strings.text(row.doneLine),
                           groupedNumber(o.jobsRestored, strings.language()))};
    case Carries::Repair:
        break;
    }
    std::vector<std::wstring> lines;
    for (int detail = 2; detail >= 0; --detail) {
        std::wstring line = repairedLine(o, strings, detail);
        if (lines.empty() || lines.back() != line) {
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

std::wstring describeProblems(Operation operation, const std::vector<Problem>& problems,
                              const IStringTable& strings, const SystemMessage& systemMessage) {
    std::wstring text;
    bool filesListed = false;
    for (const Problem& p : problems) {
        const ProblemRow& row = rowOf(p.kind);
        if (row.fills == Fills::FileLine) {
            // The files that stayed share one heading, a line each.
            if (!filesListed) {
                text += (text.empty() ? L"" : L"\n\n") + strings.text(row.text);
                filesListed = true;
            }
            text += L"\n" + p.subject + strings.text(IDS_REASON_SEPARATOR) + systemMessage(p.code);
            continue;
        }
        std::wstring line = strings.text(
            operation != Operation::Repair && row.textUnlessRepair != 0 ? row.textUnlessRepair
                                                                        : row.text);
        const std::wstring count = row.fills == Fills::Count
                                       ? decimal(p.count)
                                       : groupedNumber(p.count, strings.language());
        switch (row.fills) {
        case Fills::CountAndSubject:
            line = substitute(line, {count, p.subject});
            break;
        case Fills::SubjectAndSize:
            line = substitute(line, {p.subject, count});
            break;
        case Fills::Count:
            line = substitute(line, count);
            break;
        case Fills::Subject:
        case Fills::FileLine:
            line = substitute(line, p.subject);
            break;
        }
        if (p.code != 0) {
            line += systemMessage(p.code);
        }
        text += (text.empty() ? L"" : L"\n\n") + line;
    }
    return text;
}

} // namespace kestrave
