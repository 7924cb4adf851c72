#pragma once
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/keep/QueuedJobs.h"
#include "core/spooler/Operation.h"
#include "platform/IEventLoop.h"
#include "platform/IFileSystem.h"
#include "platform/IRegistry.h"

namespace kestrave {

// Where the queue is, as far as the program may clear it. The system's own spool\PRINTERS
// is trusted as it is (standard users may create files there; every entry is deleted as
// itself, never followed). A DefaultSpoolDirectory that names another folder is used only
// when nobody but administrators could have put it where it is; otherwise nothing is
// cleared (never another folder instead) and `refused` says why.
struct SpoolFolderChoice {
    std::wstring path;      // the folder the spooler spools to (as configured when refused)
    bool usable = false;    // true: this folder may be cleared
    ProblemKind refused{};  // why not, when configured and not usable
    std::uint32_t code = 0; // the system's code behind the refusal, where there is one
    // A configured folder, held open by the handle it was checked through: it is listed,
    // cleared and restored to through that handle, never opened by its name again.
    std::shared_ptr<IOpenFolder> opened;
    // A printer's own folder, which may hold other files by mistake: only its *.SPL and
    // *.SHD files are cleared.
    bool jobFilesOnly = false;
    Problem problem() const { return {refused, code, path}; }
    // The folder to act in: the one held, or the system's own opened now. Throws SystemError.
    std::shared_ptr<IOpenFolder> open(IFileSystem& files) const;
};
SpoolFolderChoice chooseSpoolFolder(IFileSystem& files, IRegistry& registry);
// A folder named by a setting (expanded, without a trailing backslash), checked as the
// spooler's own configured folder is: a plain local path, none of the system's folders, and
// held open through the handle its checks were made on.
SpoolFolderChoice checkConfiguredFolder(IFileSystem& files, const std::wstring& folder);

// The printers that spool to a folder of their own (SpoolDirectory under their key), each
// folder checked as the spooler's own is; `queue` (the spooler's own) is left out.
struct PrinterSpoolFolder {
    std::wstring printer;
    SpoolFolderChoice folder;
};
std::vector<PrinterSpoolFolder> printerSpoolFolders(IFileSystem& files, IRegistry& registry,
                                                    const std::wstring& queue);
// A spool file or a shadow file, by its extension in any case.
bool isJobFile(const std::wstring& name);

// The path as the file system should take it verbatim: "\\?\" before a drive path, so a name
// ending in a dot or a blank stays that name and no length limit applies.
std::wstring verbatimPath(const std::wstring& path);

// The files a repair deletes among a folder's entries: every plain file, unless none of them
// is visible (hidden or system files alone hold no print job and are left as they are).
// With `jobFilesOnly`, only *.SPL and *.SHD files count.
std::size_t filesARepairDeletes(const std::vector<FileEntry>& entries, bool jobFilesOnly = false);
// Those files' sizes, summed (to their ends).
std::uint64_t bytesARepairDeletes(const std::vector<FileEntry>& entries);

struct QueueClearing {
    std::size_t deleted = 0;
    std::size_t kept = 0;
    std::size_t left = 0; // plain files still there afterwards
    std::vector<Problem> problems;
    std::vector<Problem> notes;
    std::wstring keptIn;             // where the kept files went
    std::vector<QueuedJob> keptJobs; // what they were, read before they went
};

// Where a queue's files go once it is listed: a folder to move them into, or none to delete
// them; notes say why not where keeping was asked.
struct KeepTarget {
    std::unique_ptr<IOpenFolder> into;
    std::unique_ptr<IOpenFolder> above; // the folder `into` was made in, to remove it unused
    std::wstring name;                  // its name there
    std::vector<Problem> notes;
    std::vector<QueuedJob> jobs;
    std::set<std::wstring> discard; // files (by nameKey) deleted rather than kept, each said
    bool leaveQueue = false;        // nowhere to keep what was to be kept: touch nothing
    std::vector<Problem> problems;  // why the queue was left
};
using KeepChoice =
    std::function<KeepTarget(IOpenFolder& queue, const std::vector<FileEntry>& entries)>;

// Opens the folder once and, through that one handle, lists it and deletes every plain file
// directly in it by its exact listed name (sub-folders stay; a link is deleted as the link),
// retrying a file the spooler still holds, then counts what is left. No rename or link
// anywhere on its path meanwhile can send a delete elsewhere. The window keeps answering.
// With a keep choice that gives a folder, each file is moved there instead; one that cannot
// be moved is deleted, and a note says so.
QueueClearing clearQueue(const SpoolFolderChoice& folder, IFileSystem& files, IEventLoop& events,
                         IOperationObserver& observer, const KeepChoice& keep = {});

} // namespace kestrave
