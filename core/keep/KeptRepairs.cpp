#include "core/keep/KeptRepairs.h"

#include <algorithm>

#include "core/keep/UtcTime.h"
#include "core/text/TextFormat.h"
#include "platform/SystemError.h"

namespace kestrave {

namespace {
constexpr std::size_t kTimeLength = 15; // 20261208-043000
constexpr std::uint32_t kMaxSequence = 999'999'999;

bool digits(const std::wstring& s, std::size_t from, std::size_t count, std::uint32_t& out) {
    out = 0;
    if (count == 0) {
        return false;
    }
    for (std::size_t i = from; i < from + count; ++i) {
        if (i >= s.size() || s[i] < L'0' || s[i] > L'9') {
            return false;
        }
        out = out * 10 + static_cast<std::uint32_t>(s[i] - L'0');
    }
    return true;
}

bool field(const std::wstring& s, std::size_t from, std::size_t count, int& out) {
    std::uint32_t value = 0;
    const bool ok = digits(s, from, count, value);
    out = static_cast<int>(value);
    return ok;
}

std::optional<std::uint64_t> timeOf(const std::wstring& name) {
    UtcTime t;
    if (name.size() < kTimeLength || name[8] != L'-' || !field(name, 0, 4, t.year) ||
        !field(name, 4, 2, t.month) || !field(name, 6, 2, t.day) || !field(name, 9, 2, t.hour) ||
        !field(name, 11, 2, t.minute) || !field(name, 13, 2, t.second)) {
        return std::nullopt;
    }
    return fileTimeOf(t);
}

// The folder of kept repairs, listed; what cannot list it throws, as its callers' opening of
// it does.
std::vector<FileEntry> listed(IOpenFolder& kept) {
    std::vector<FileEntry> entries;
    if (const std::uint32_t code = kept.list(entries); code != 0) {
        throw SystemError(code, "cannot list the kept repairs");
    }
    return entries;
}

std::uint32_t removeKeptRepair(IOpenFolder& kept, const std::wstring& name) {
    std::unique_ptr<IOpenFolder> folder;
    std::vector<FileEntry> entries;
    if (const std::uint32_t code = kept.openSubfolder(name, folder); code != 0) {
        return code;
    }
    if (const std::uint32_t code = folder->list(entries); code != 0) {
        return code;
    }
    for (const FileEntry& e : entries) {
        const bool isFolder = (e.attributes & fileattr::kDirectory) != 0;
        const std::uint32_t code =
            isFolder ? folder->deleteSubfolder(e.name) : folder->deleteEntry(e.name);
        if (code != 0 && code != err::kFileNotFound) {
            return code;
        }
    }
    folder.reset();
    return kept.deleteSubfolder(name);
}
} // namespace

std::wstring keptFolderName(std::uint64_t fileTime, std::uint32_t sequence) {
    const std::wstring text = compactUtcText(fileTime);
    return sequence == 0 ? text : text + L"_" + decimal(sequence);
}

std::optional<KeptFolderName> parseKeptFolderName(const std::wstring& name) {
    const auto time = timeOf(name);
    if (!time) {
        return std::nullopt;
    }
    if (name.size() == kTimeLength) {
        return KeptFolderName{*time, 0};
    }
    const std::size_t rest = name.size() - kTimeLength - 1;
    std::uint32_t number = 0;
    if (name[kTimeLength] == L'_' && rest <= 9 && name[kTimeLength + 1] != L'0' &&
        digits(name, kTimeLength + 1, rest, number)) {
        return KeptFolderName{*time, number};
    }
    // An earlier release's second repair in the same second: -2 to -99, and no order.
    if (name[kTimeLength] == L'-' && rest <= 2 && digits(name, kTimeLength + 1, rest, number) &&
        number >= 2 && name[kTimeLength + 1] != L'0') {
        return KeptFolderName{*time, 0};
    }
    return std::nullopt;
}

std::optional<std::uint64_t> keptFolderTime(const std::wstring& name) {
    const auto parsed = parseKeptFolderName(name);
    return parsed ? std::optional<std::uint64_t>(parsed->time) : std::nullopt;
}

std::vector<KeptRepair> listKeptRepairs(IOpenFolder& kept, std::uint64_t now) {
    std::vector<KeptRepair> repairs;
    for (const FileEntry& e : listed(kept)) {
        const auto parsed = parseKeptFolderName(e.name);
        if ((e.attributes & fileattr::kDirectory) == 0 || !parsed) {
            continue;
        }
        KeptRepair repair{e.name, std::min(parsed->time, now), parsed->sequence, 0, 0};
        // Unreadable: counted as empty, and pruned as its age and place say.
        std::unique_ptr<IOpenFolder> folder;
        std::vector<FileEntry> files;
        if (kept.openSubfolder(e.name, folder) == 0 && folder->list(files) == 0) {
            for (const FileEntry& f : files) {
                repair.bytes += f.allocated;
                repair.files += (f.attributes & fileattr::kDirectory) == 0 ? 1 : 0;
            }
        }
        repairs.push_back(std::move(repair));
    }
    std::sort(repairs.begin(), repairs.end(), [](const KeptRepair& a, const KeptRepair& b) {
        if (a.sequence != b.sequence) {
            return a.sequence > b.sequence;
        }
        return a.time != b.time ? a.time > b.time : a.name > b.name;
    });
    return repairs;
}

std::wstring keptRepairToRestore(IOpenFolder& kept, std::uint64_t now, const std::wstring& name) {
    const bool timeAlone = name.size() == kTimeLength && timeOf(name).has_value();
    for (const KeptRepair& r : listKeptRepairs(kept, now)) {
        const bool chosen = name.empty() ? r.files > 0
                            : timeAlone  ? nameKey(r.name.substr(0, kTimeLength)) == nameKey(name)
                                         : nameKey(r.name) == nameKey(name);
        if (chosen) {
            return r.name;
        }
    }
    return {};
}

std::vector<std::wstring> pruneKeptRepairs(IOpenFolder& kept, const KeepSettings& settings,
                                           std::uint64_t now, std::size_t room,
                                           std::vector<Problem>& problems) {
    const std::uint64_t maxAge = std::uint64_t{settings.days} * kSecondsPerDay * kFileTimeSecond;
    std::size_t count = room;
    std::vector<std::wstring> removed;
    bool last = true;
    for (const KeptRepair& r : listKeptRepairs(kept, now)) {
        // The last repair stays whatever the clock says: a clock set far ahead must not
        // make every kept job "too old".
        const bool tooOld = !last && now - r.time > maxAge;
        last = false;
        if (!tooOld && count < settings.repairs) {
            ++count;
            continue;
        }
        if (const std::uint32_t code = removeKeptRepair(kept, r.name); code != 0) {
            problems.push_back({ProblemKind::KeptNotPruned, code, r.name});
        } else {
            removed.push_back(r.name);
        }
    }
    return removed;
}

std::unique_ptr<IOpenFolder> makeKeptFolder(IOpenFolder& kept, std::uint64_t now) {
    std::uint32_t sequence = 0;
    for (const FileEntry& e : listed(kept)) {
        if (const auto parsed = parseKeptFolderName(e.name)) {
            sequence = std::max(sequence, parsed->sequence);
        }
    }
    if (sequence >= kMaxSequence) {
        throw SystemError(err::kFileExists, "no number left for a kept repair");
    }
    std::unique_ptr<IOpenFolder> made;
    if (const std::uint32_t code = kept.createFolder(keptFolderName(now, sequence + 1), made);
        code != 0) {
        throw SystemError(code, "cannot make the folder of a kept repair");
    }
    return made;
}

} // namespace kestrave
