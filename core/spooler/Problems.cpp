#include "core/spooler/Problems.h"

#include <iterator>

#include "resources/StringIds.h"

namespace kestrave {

namespace {
// A row a line, read across.
// clang-format off
constexpr ProblemRow kProblems[] = {
    {ProblemKind::StateUnreadable, "stateUnreadable", IDS_PROBLEM_STATE, 0, Fills::Subject, false},
    {ProblemKind::StopRefused, "stopRefused", IDS_REPAIR_CANNOT_STOP, IDS_DISABLE_CANNOT_STOP, Fills::Subject, false},
    {ProblemKind::StopTimedOut, "stopTimedOut", IDS_REPAIR_STOP_TIMEOUT, IDS_DISABLE_STOP_TIMEOUT, Fills::Count, false},
    {ProblemKind::DependentNotStopped, "dependentNotStopped", IDS_PROBLEM_DEPENDENT_STOP, 0, Fills::Subject, false},
    {ProblemKind::QueueUnlisted, "queueUnlisted", IDS_PROBLEM_QUEUE_UNLISTED, 0, Fills::Subject, false},
    {ProblemKind::FileNotDeleted, "fileNotDeleted", IDS_REPAIR_FILES_LEFT, 0, Fills::FileLine, false},
    {ProblemKind::QueueNotEmpty, "queueNotEmpty", IDS_PROBLEM_QUEUE_LEFT, 0, Fills::Count, false},
    {ProblemKind::StartTypeNotSet, "startTypeNotSet", IDS_PROBLEM_AUTO_START, IDS_PROBLEM_DISABLED, Fills::Subject, false},
    {ProblemKind::StartRefused, "startRefused", IDS_PROBLEM_START, 0, Fills::Subject, false},
    {ProblemKind::StartTimedOut, "startTimedOut", IDS_PROBLEM_START_TIMEOUT, 0, Fills::Count, false},
    {ProblemKind::DependentNotStarted, "dependentNotStarted", IDS_PROBLEM_DEPENDENT_START, 0, Fills::Subject, false},
    {ProblemKind::AnotherKestraveBusy, "anotherKestraveBusy", IDS_PROBLEM_BUSY, 0, Fills::Count, false},
    {ProblemKind::LockUnavailable, "lockUnavailable", IDS_PROBLEM_LOCK_UNAVAILABLE, 0, Fills::Subject, false},
    {ProblemKind::SpoolFolderUnreadable, "spoolFolderUnreadable", IDS_PROBLEM_SPOOL_UNREADABLE, 0, Fills::Subject, false},
    {ProblemKind::SpoolFolderNotLocal, "spoolFolderNotLocal", IDS_PROBLEM_SPOOL_NOT_LOCAL, 0, Fills::Subject, false},
    {ProblemKind::SpoolFolderSystem, "spoolFolderSystem", IDS_PROBLEM_SPOOL_SYSTEM, 0, Fills::Subject, false},
    {ProblemKind::SpoolFolderMissing, "spoolFolderMissing", IDS_PROBLEM_SPOOL_MISSING, 0, Fills::Subject, false},
    {ProblemKind::SpoolFolderLinked, "spoolFolderLinked", IDS_PROBLEM_SPOOL_LINKED, 0, Fills::Subject, false},
    {ProblemKind::SpoolFolderForeignOwner, "spoolFolderForeignOwner", IDS_PROBLEM_SPOOL_FOREIGN, 0, Fills::Subject, false},
    {ProblemKind::SpoolFolderOpenToOthers, "spoolFolderOpenToOthers", IDS_PROBLEM_SPOOL_OPEN, 0, Fills::Subject, false},
    {ProblemKind::PrinterFolderNotKept, "printerFolderNotKept", IDS_PROBLEM_PRINTER_FOLDER_KEPT, 0, Fills::Subject, false},
    {ProblemKind::Unexpected, "unexpected", IDS_PROBLEM_UNEXPECTED, 0, Fills::Subject, false},
    {ProblemKind::ScOverran, "scOverran", IDS_NOTE_SC_OVERRAN, 0, Fills::Count, false},
    {ProblemKind::SpoolerEnded, "spoolerEnded", IDS_NOTE_SPOOLER_ENDED, 0, Fills::Count, false},
    {ProblemKind::JobsKept, "jobsKept", IDS_NOTE_JOBS_KEPT, 0, Fills::CountAndSubject, false},
    {ProblemKind::KeepFolderPassedOver, "keepFolderPassedOver", IDS_NOTE_KEEP_PASSED_OVER, 0, Fills::Subject, false},
    {ProblemKind::KeepTooLarge, "keepTooLarge", IDS_NOTE_KEEP_TOO_LARGE, 0, Fills::SubjectAndSize, false},
    {ProblemKind::KeepNoRoom, "keepNoRoom", IDS_NOTE_KEEP_NO_ROOM, 0, Fills::SubjectAndSize, false},
    {ProblemKind::FileNotKept, "fileNotKept", IDS_NOTE_FILE_NOT_KEPT, 0, Fills::Subject, false},
    {ProblemKind::KeptNotPruned, "keptNotPruned", IDS_NOTE_KEPT_NOT_PRUNED, 0, Fills::Subject, false},
    {ProblemKind::KeepFolderRefused, "keepFolderRefused", IDS_NOTE_KEEP_REFUSED, 0, Fills::Subject, false},
    {ProblemKind::NothingKept, "nothingKept", IDS_PROBLEM_NOTHING_KEPT, 0, Fills::Subject, false},
    {ProblemKind::KeptNotFound, "keptNotFound", IDS_PROBLEM_KEPT_NOT_FOUND, 0, Fills::Subject, false},
    {ProblemKind::JobNameTaken, "jobNameTaken", IDS_PROBLEM_JOB_NAME_TAKEN, 0, Fills::Subject, false},
    {ProblemKind::JobNotRestored, "jobNotRestored", IDS_PROBLEM_JOB_NOT_RESTORED, 0, Fills::Subject, false},
    {ProblemKind::JobSplit, "jobSplit", IDS_PROBLEM_JOB_SPLIT, 0, Fills::Subject, false},
    {ProblemKind::PlugInUnknown, "plugInUnknown", IDS_PROBLEM_PLUGIN_UNKNOWN, 0, Fills::Subject, true},
    {ProblemKind::PlugInWindowsOwn, "plugInWindowsOwn", IDS_PROBLEM_PLUGIN_WINDOWS, 0, Fills::Subject, false},
    {ProblemKind::PlugInClaimsMicrosoft, "plugInClaimsMicrosoft", IDS_PROBLEM_PLUGIN_MICROSOFT, 0, Fills::Subject, false},
    {ProblemKind::PlugInNotQuarantined, "plugInNotQuarantined", IDS_PROBLEM_PLUGIN_NOT_QUARANTINED, 0, Fills::Subject, true},
    {ProblemKind::PlugInReinstalled, "plugInReinstalled", IDS_PROBLEM_PLUGIN_REINSTALLED, 0, Fills::Subject, false},
    {ProblemKind::QuarantineUnsafe, "quarantineUnsafe", IDS_PROBLEM_QUARANTINE_UNSAFE, 0, Fills::Subject, false},
    {ProblemKind::PlugInNotMoved, "plugInNotMoved", IDS_PROBLEM_PLUGIN_NOT_MOVED, 0, Fills::Subject, false},
    {ProblemKind::PlugInNotPutBack, "plugInNotPutBack", IDS_PROBLEM_PLUGIN_NOT_PUT_BACK, 0, Fills::Subject, false},
    {ProblemKind::PlugInNotUndone, "plugInNotUndone", IDS_PROBLEM_PLUGIN_NOT_UNDONE, 0, Fills::Subject, false},
    {ProblemKind::PrinterRepointed, "printerRepointed", IDS_NOTE_PRINTER_REPOINTED, 0, Fills::Subject, false},
    {ProblemKind::PrinterWaiting, "printerWaiting", IDS_NOTE_PRINTER_WAITING, 0, Fills::Subject, false},
    {ProblemKind::PrinterPointedBack, "printerPointedBack", IDS_NOTE_PRINTER_BACK, 0, Fills::Subject, false},
    {ProblemKind::PrinterLeft, "printerLeft", IDS_NOTE_PRINTER_LEFT, 0, Fills::Subject, false},
    {ProblemKind::QuarantineFinished, "quarantineFinished", IDS_NOTE_QUARANTINE_FINISHED, 0, Fills::Subject, false},
    {ProblemKind::QuarantineDropped, "quarantineDropped", IDS_NOTE_QUARANTINE_DROPPED, 0, Fills::Subject, false},
};
// clang-format on

constexpr bool inOrder() {
    for (std::size_t i = 0; i < std::size(kProblems); ++i) {
        if (static_cast<std::size_t>(kProblems[i].kind) != i || kProblems[i].text == 0) {
            return false;
        }
    }
    return true;
}
static_assert(inOrder(), "one row per kind with its text, in the enumeration's order");
static_assert(std::size(kProblems) == static_cast<std::size_t>(kLastProblemKind) + 1,
              "the last kind has its row");
} // namespace

const ProblemRow& rowOf(ProblemKind kind) {
    return kProblems[static_cast<std::size_t>(kind)];
}

} // namespace kestrave
