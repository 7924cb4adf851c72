#pragma once
#include <string>

#include "core/spooler/Operation.h"
#include "platform/IEventLoop.h"
#include "platform/IFileSystem.h"
#include "platform/IRegistry.h"

namespace kestrave {

// The folder the spooler really spools to: DefaultSpoolDirectory under HKLM's Print\Printers
// key (writable only by administrators) when it names a local absolute folder that is a real
// directory, not a link; otherwise the system directory's spool\PRINTERS.
std::wstring spoolFolder(IFileSystem& files, IRegistry& registry);

// The path as the file system should take it verbatim: "\\?\" before a drive path, so a name
// ending in a dot or a blank stays that name and no length limit applies.
std::wstring verbatimPath(const std::wstring& path);

struct QueueClearing {
    std::size_t deleted = 0;
    std::size_t left = 0; // plain files still there afterwards
    std::vector<Problem> problems;
};

// Deletes every plain file directly in the folder by its exact listed name (sub-folders and
// what links point to stay untouched), retrying a file the spooler still holds, then counts
// what is left. The folder is listed once; the window keeps answering throughout.
QueueClearing clearQueue(const std::wstring& folder, IFileSystem& files, IEventLoop& events,
                         IOperationObserver& observer);

} // namespace kestrave
