#include "core/spooler/OutcomeText.h"

#include <iterator>

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
    return o.problems.empty() &&
           (operation == Operation::Disable ? o.spoolerStopped && o.startTypeChanged
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
    return substitute(strings.text(IDS_OUTCOME_REPAIRED), joined);
}
} // namespace

std::wstring outcomeLine(Operation operation, const Outcome& o, const IStringTable& strings) {
    return outcomeLines(operation, o, strings).front();
}

std::vector<std::wstring> outcomeLines(Operation operation, const Outcome& o,
                                       const IStringTable& strings) {
    if (operation == Operation::Disable) {
        return {strings.text(succeeded(operation, o) ? IDS_OUTCOME_DISABLED
                                                     : IDS_OUTCOME_NOT_DISABLED)};
    }
    if (operation == Operation::Quarantine || operation == Operation::Unquarantine) {
        const bool out = operation == Operation::Quarantine;
        return {succeeded(operation, o)
                    ? substitute(strings.text(out ? IDS_OUTCOME_QUARANTINED
                                                  : IDS_OUTCOME_UNQUARANTINED),
                                 o.plugIn)
                    : strings.text(out ? IDS_OUTCOME_NOT_QUARANTINED
                                       : IDS_OUTCOME_NOT_UNQUARANTINED)};
    }
    if (operation == Operation::Restore) {
        return {succeeded(operation, o)
                    ? substitute(strings.text(IDS_OUTCOME_RESTORED),
                                 groupedNumber(o.jobsRestored, strings.language()))
                    : strings.text(IDS_OUTCOME_NOT_RESTORED)};
    }
    if (!succeeded(operation, o)) {
        return {strings.text(IDS_OUTCOME_NOT_REPAIRED)};
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
    case ProblemKind::AnotherKestraveBusy:
        return IDS_PROBLEM_BUSY;
    case ProblemKind::LockUnavailable:
        return IDS_PROBLEM_LOCK_UNAVAILABLE;
    case ProblemKind::SpoolFolderUnreadable:
        return IDS_PROBLEM_SPOOL_UNREADABLE;
    case ProblemKind::SpoolFolderNotLocal:
        return IDS_PROBLEM_SPOOL_NOT_LOCAL;
    case ProblemKind::SpoolFolderSystem:
        return IDS_PROBLEM_SPOOL_SYSTEM;
    case ProblemKind::SpoolFolderMissing:
        return IDS_PROBLEM_SPOOL_MISSING;
    case ProblemKind::SpoolFolderLinked:
        return IDS_PROBLEM_SPOOL_LINKED;
    case ProblemKind::SpoolFolderForeignOwner:
        return IDS_PROBLEM_SPOOL_FOREIGN;
    case ProblemKind::SpoolFolderOpenToOthers:
        return IDS_PROBLEM_SPOOL_OPEN;
    case ProblemKind::PrinterFolderNotKept:
        return IDS_PROBLEM_PRINTER_FOLDER_KEPT;
    case ProblemKind::Unexpected:
        return IDS_PROBLEM_UNEXPECTED;
    case ProblemKind::ScOverran:
        return IDS_NOTE_SC_OVERRAN;
    case ProblemKind::JobsKept:
        return IDS_NOTE_JOBS_KEPT;
    case ProblemKind::KeepFolderRefused:
        return IDS_NOTE_KEEP_REFUSED;
    case ProblemKind::KeepFolderPassedOver:
        return IDS_NOTE_KEEP_PASSED_OVER;
    case ProblemKind::KeepTooLarge:
        return IDS_NOTE_KEEP_TOO_LARGE;
    case ProblemKind::KeepNoRoom:
        return IDS_NOTE_KEEP_NO_ROOM;
    case ProblemKind::FileNotKept:
        return IDS_NOTE_FILE_NOT_KEPT;
    case ProblemKind::KeptNotPruned:
        return IDS_NOTE_KEPT_NOT_PRUNED;
    case ProblemKind::NothingKept:
        return IDS_PROBLEM_NOTHING_KEPT;
    case ProblemKind::KeptNotFound:
        return IDS_PROBLEM_KEPT_NOT_FOUND;
    case ProblemKind::JobNameTaken:
        return IDS_PROBLEM_JOB_NAME_TAKEN;
    case ProblemKind::JobNotRestored:
        return IDS_PROBLEM_JOB_NOT_RESTORED;
    case ProblemKind::JobSplit:
        return IDS_PROBLEM_JOB_SPLIT;
    case ProblemKind::PlugInUnknown:
        return IDS_PROBLEM_PLUGIN_UNKNOWN;
    case ProblemKind::PlugInWindowsOwn:
        return IDS_PROBLEM_PLUGIN_WINDOWS;
    case ProblemKind::PlugInClaimsMicrosoft:
        return IDS_PROBLEM_PLUGIN_MICROSOFT;
    case ProblemKind::PlugInNotQuarantined:
        return IDS_PROBLEM_PLUGIN_NOT_QUARANTINED;
    case ProblemKind::PlugInReinstalled:
        return IDS_PROBLEM_PLUGIN_REINSTALLED;
    case ProblemKind::QuarantineUnsafe:
        return IDS_PROBLEM_QUARANTINE_UNSAFE;
    case ProblemKind::PlugInNotMoved:
        return IDS_PROBLEM_PLUGIN_NOT_MOVED;
    case ProblemKind::PlugInNotPutBack:
        return IDS_PROBLEM_PLUGIN_NOT_PUT_BACK;
    case ProblemKind::PlugInNotUndone:
        return IDS_PROBLEM_PLUGIN_NOT_UNDONE;
    case ProblemKind::PrinterRepointed:
        return IDS_NOTE_PRINTER_REPOINTED;
    case ProblemKind::PrinterWaiting:
        return IDS_NOTE_PRINTER_WAITING;
    case ProblemKind::PrinterPointedBack:
        return IDS_NOTE_PRINTER_BACK;
    case ProblemKind::PrinterLeft:
        return IDS_NOTE_PRINTER_LEFT;
    case ProblemKind::QuarantineFinished:
        return IDS_NOTE_QUARANTINE_FINISHED;
    case ProblemKind::QuarantineDropped:
        return IDS_NOTE_QUARANTINE_DROPPED;
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
        // A count (files left, seconds waited) where the problem has one, else its subject.
        const bool counted =
            p.kind == ProblemKind::QueueNotEmpty || p.kind == ProblemKind::StopTimedOut ||
            p.kind == ProblemKind::StartTimedOut || p.kind == ProblemKind::AnotherKestraveBusy ||
            p.kind == ProblemKind::ScOverran;
        if (p.kind == ProblemKind::JobsKept) {
            line = substitute(line, {groupedNumber(p.count, strings.language()), p.subject});
        } else if (p.kind == ProblemKind::KeepTooLarge || p.kind == ProblemKind::KeepNoRoom) {
            line = substitute(line, {p.subject, groupedNumber(p.count, strings.language())});
        } else {
            line = substitute(line, counted ? decimal(p.count) : p.subject);
        }
        if (p.code != 0) {
            line += systemMessage(p.code);
        }
        text += (text.empty() ? L"" : L"\n\n") + line;
    }
    return text;
}

} // namespace kestrave
