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
// kept jobs, named for when it ran (UTC) and numbered in the order the repairs ran:
// 20261208-043000_17. The number, not the time, tells which repair came last, so a clock set
// ahead and then put right orders nothing. Folders of an earlier release carry no number
// (20261208-043000, or 20261208-043000-2 for a second repair in the same second) and count
// as older than every numbered one.
std::wstring keptFolderName(std::uint64_t fileTime, std::uint32_t sequence = 0);
struct KeptFolderName {
    std::uint64_t time = 0;     // a FILETIME, as the name says: nothing is ordered by it
    std::uint32_t sequence = 0; // 0 for a name without a number
};
// What a kept repair's name says; none for a name of another form.
std::optional<KeptFolderName> parseKeptFolderName(const std::wstring& name);
// When a folder of that name was made (a FILETIME); none for a name of another form.
std::optional<std::uint64_t> keptFolderTime(const std::wstring& name);

struct KeptRepair {
    std::wstring name;
    std::uint64_t time = 0; // from its name, and never later than now
    std::uint32_t sequence = 0;
    std::uint64_t bytes = 0; // what its files occupy on the volume
    std::size_t files = 0;
};
// The kept repairs, the last one first (by number; the unnumbered by their time, a time
// ahead of `now` counting as now); folders of another name are left out (and left alone).
// A folder that cannot be opened or listed counts as empty.
std::vector<KeptRepair> listKeptRepairs(IOpenFolder& kept, std::uint64_t now);

// The kept repair a restore takes: the one of that name (in any case), or the last of those
// made at that time where the name is a time alone (20261208-043000), or with no name the
// last that holds files; empty where there is none.
std::wstring keptRepairToRestore(IOpenFolder& kept, std::uint64_t now,
                                 const std::wstring& name = {});

// Deletes kept repairs past the bounds, by age and count alone (never to make room for a
// queue): older than settings.days, except the last one, whatever the clock says; beyond the
// last settings.repairs, counting `room` more still to come. The names it deleted; what it
// could not, in `problems`.
std::vector<std::wstring> pruneKeptRepairs(IOpenFolder& kept, const KeepSettings& settings,
                                           std::uint64_t now, std::size_t room,
                                           std::vector<Problem>& problems);

// Makes this repair's folder, named for now and numbered after every kept repair there.
// Throws SystemError.
std::unique_ptr<IOpenFolder> makeKeptFolder(IOpenFolder& kept, std::uint64_t now);

} // namespace kestrave
