#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/keep/QueuedJobs.h"

namespace kestrave {

// The steps of the repair and the disable, as they report them.
enum class Step {
    StoppingDependents, // first: the string table keeps the steps' texts in this order
    Stopping,
    WaitingForStop,
    EndingHungSpooler,
    ClearingQueue,
    SettingStartType,
    Starting,
    WaitingForRun,
    StartingDependents,
    WaitingForOtherKestrave, // another Kestrave repairs or disables: wait for it
    RestoringJobs,           // kept jobs go back to the queue (done and total count jobs)
    MovingPlugIn,            // a plug-in's key goes to the quarantine
    RestoringPlugIn,         // and back
};
// The last step: what goes through every step (their texts, their names, the tests) ends here.
inline constexpr Step kLastStep = Step::RestoringPlugIn;

// What went wrong, with the system's code where there is one and the service or file it
// concerns; the windows and the command line put it in words.
enum class ProblemKind {
    StateUnreadable,     // the spooler's state could not be read: nothing deleted
    StopRefused,         // the stop was refused (1051: dependents still running)
    StopTimedOut,        // not stopped in time and its process could not be ended
    DependentNotStopped, // subject: the dependent service
    QueueUnlisted,       // the spool folder could not be listed
    FileNotDeleted,      // subject: the file's name
    QueueNotEmpty,       // count: files left after the deletion
    StartTypeNotSet,     // neither sc nor the manager changed the start type
    StartRefused,        // the start was refused (1058: disabled)
    StartTimedOut,       // started, but not running in time
    DependentNotStarted, // subject: the dependent service
    AnotherKestraveBusy, // another Kestrave kept the spooler busy: nothing was touched
    LockUnavailable,     // the operation lock could not be tried (code): nothing was touched
    // A configured spool folder that is not cleared (subject: the folder), and why:
    SpoolFolderUnreadable,   // the setting could not be read as a path (code)
    SpoolFolderNotLocal,     // not a plain path to a folder on a local drive
    SpoolFolderSystem,       // a drive's root or one of the system's own folders
    SpoolFolderMissing,      // it or a folder above it is missing or not a folder
    SpoolFolderLinked,       // a link or junction on its path
    SpoolFolderForeignOwner, // it or a folder above it owned by another account
    SpoolFolderOpenToOthers, // another account could delete, rename or re-permission it
    PrinterFolderNotKept,    // a printer's own folder (subject) left as it is while keeping
    Unexpected,              // an error of another kind while stopping or clearing (subject)
    ScOverran,               // a note: sc was ended after count seconds, the manager set it
    SpoolerEnded,            // a note: not stopped in count seconds, its process was ended
    // Notes of a repair that keeps what it clears:
    JobsKept,             // count files kept in the folder (subject)
    KeepFolderPassedOver, // the folder (subject) failed its checks: left, another one used
    KeepTooLarge,         // the job (subject, count MB) does not fit beside what is kept: deleted
    KeepNoRoom,           // the job (subject, count MB) is over half the free space: deleted
    FileNotKept,          // the file (subject) could not be moved (code), so it was deleted
    KeptNotPruned,        // an old kept repair (subject) could not be removed (code)
    // A problem: no folder to keep in, not even one of the program's own (code): the queue
    // was left as it was, since deleting it would lose what was to be kept.
    KeepFolderRefused,
    // Problems of putting kept jobs back:
    NothingKept,    // no kept repair to put back (code where the folder failed its check)
    KeptNotFound,   // no kept repair of that name (subject)
    JobNameTaken,   // a file of the job (subject) is in the queue already: job skipped
    JobNotRestored, // the job (subject) could not be moved back (code): it stays kept
    JobSplit,       // the file (subject) of a job that failed to move could not be taken back
    // Taking a print processor or port monitor (subject) out, or putting it back:
    PlugInUnknown,         // no plug-in of that name: nothing changed
    PlugInWindowsOwn,      // one Windows ships: refused
    PlugInClaimsMicrosoft, // its file names the system's maker: refused without /force
    PlugInNotQuarantined,  // nothing of that name in the quarantine
    PlugInReinstalled,     // installed again meanwhile: the copy is not written over it
    QuarantineUnsafe,      // the quarantine's key failed its check (code): nothing changed
    PlugInNotMoved,        // taking it out failed (code) and was undone
    PlugInNotPutBack,      // putting it back failed (code) and was undone
    PlugInNotUndone,       // a failure (code) could not be undone: the next run finishes it
    // Notes of those:
    PrinterRepointed,    // the printer (subject) now prints through winprint with RAW
    PrinterWaiting,      // the printer (subject) cannot print while the plug-in is out
    PrinterPointedBack,  // the printer (subject) uses the plug-in again
    PrinterLeft,         // the printer (subject) was changed meanwhile: left as it is
    QuarantineFinished,  // an interrupted change of the plug-in (subject) was finished
    QuarantineDropped,   // an incomplete copy of the plug-in (subject) was removed
};
// The last kind: its row (core/spooler/Problems.cpp) ends the table of kinds.
inline constexpr ProblemKind kLastProblemKind = ProblemKind::QuarantineDropped;

struct Problem {
    ProblemKind kind;
    std::uint32_t code = 0;
    std::wstring subject;
    std::size_t count = 0; // files left, or the seconds a wait was bounded by
    friend bool operator==(const Problem&, const Problem&) = default;
};

// How an operation ended.
struct Outcome {
    bool spoolerRunning = false;  // repair: read running at the end
    bool spoolerStopped = false;  // disable: read stopped at the end
    bool hadToEndSpooler = false; // its process was ended after it hung stopping (and a note)
    bool startTypeChanged = false;
    std::size_t filesDeleted = 0;
    std::size_t filesKept = 0;       // moved to the folder of kept jobs instead of deleted
    std::wstring keptIn;             // that repair's folder
    std::vector<QueuedJob> keptJobs; // what was kept (a restore: what went back)
    std::size_t jobsRestored = 0;
    std::vector<std::wstring> dependentsRestarted;
    std::vector<Problem> problems;
    std::vector<Problem> notes;      // worth saying, but not a failure
    std::wstring plugIn;             // the plug-in taken out or put back, as the registry spells it
};

// Follows an operation as it goes; every call comes from the thread that runs it.
class IOperationObserver {
  public:
    virtual ~IOperationObserver() = default;
    // A step begins; while clearing the queue, done and total count the files.
    virtual void step(Step step, std::size_t done, std::size_t total) = 0;
};

} // namespace kestrave
