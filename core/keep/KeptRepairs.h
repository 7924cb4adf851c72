#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/keep/KeepSettings.h"
#include "core/spooler/Operation.h"
#include "platform/IFileSystem.h"

namespace kestrave {

// Each repair that keeps what it clears gets a folder of its own in the program's folder of
// kept jobs, named for when it ran (UTC): 20261208-043000, then 20261208-043000-2 for a
// second repair in the same second.
std::wstring keptFolderName(std::uint64_t fileTime, int sequence = 1);
// When a folder of that name was made (a FILETIME); none for a name of another form.
std::optional<std::uint64_t> keptFolderTime(const std::wstring& name);

struct KeptRepair {
    std::wstring name;
    std::uint64_t time = 0; // from its name
    std::uint64_t bytes = 0;
    std::size_t files = 0;
};
// The kept repairs, newest first; folders of another name are left out (and left alone).
// A folder that cannot be opened or listed counts as empty.
std::vector<KeptRepair> listKeptRepairs(IOpenFolder& kept);

// The kept repair a restore takes: the one of that name (in any case), or with no name the
// newest that holds files; empty where there is none.
std::wstring keptRepairToRestore(IOpenFolder& kept, const std::wstring& name = {});

// Deletes kept repairs past the bounds, oldest first: older than settings.days, beyond the
// last settings.repairs (counting `room` more still to come), or beyond settings.bytes with
// `incoming` bytes still to come. The names it deleted; what it could not, in `problems`.
std::vector<std::wstring> pruneKeptRepairs(IOpenFolder& kept, const KeepSettings& settings,
                                           std::uint64_t now, std::size_t room,
                                           std::uint64_t incoming, std::vector<Problem>& problems);

// Makes this repair's folder, named for now, with the next sequence where the name is taken.
// Throws SystemError.
std::unique_ptr<IOpenFolder> makeKeptFolder(IOpenFolder& kept, std::uint64_t now);

} // namespace kestrave
