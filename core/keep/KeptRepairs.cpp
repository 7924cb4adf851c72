#include "core/keep/KeptRepairs.h"

#include <algorithm>

#include "core/keep/UtcTime.h"
#include "core/text/TextFormat.h"
#include "platform/SystemError.h"

namespace kestrave {

namespace {
constexpr std::int64_t kSecondsPerDay = 86'400;
constexpr int kMaxSequence = 99;

bool digits(const std::wstring& s, std::size_t from, std::size_t count, int& out) {
    out = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        if (i >= s.size() || s[i] < L'0' || s[i] > L'9') {
            return false;
        }
        out = out * 10 + (s[i] - L'0');
    }
    return true;
}

std::uint32_t removeKeptRepair(IOpenFolder& kept, const std::wstring& name) {
    std::unique_ptr<IOpenFolder> folder;
    try {
        folder = kept.openSubfolder(name);
        for (const FileEntry& e : folder->list()) {
            const bool isFolder = (e.attributes & fileattr::kDirectory) != 0;
            const std::uint32_t code =
                isFolder ? folder->deleteSubfolder(e.name) : folder->deleteEntry(e.name);
            if (code != 0 && code != err::kFileNotFound) {
                return code;
            }
        }
    } catch (const SystemError& e) {
        return e.code();
    }
    folder.reset();
    return kept.deleteSubfolder(name);
}
} // namespace

std::wstring keptFolderName(std::uint64_t fileTime, int sequence) {
    const std::wstring text = compactUtcText(fileTime);
    return sequence <= 1 ? text : text + L"-" + std::to_wstring(sequence);
}

std::optional<std::uint64_t> keptFolderTime(const std::wstring& name) {
    UtcTime t;
    if (name.size() < 15 || name[8] != L'-' || !digits(name, 0, 4, t.year) ||
        !digits(name, 4, 2, t.month) || !digits(name, 6, 2, t.day) || !digits(name, 9, 2, t.hour) ||
        !digits(name, 11, 2, t.minute) || !digits(name, 13, 2, t.second)) {
        return std::nullopt;
    }
    int sequence = 0;
    if (name.size() != 15 && (name[15] != L'-' || name.size() > 18 ||
                              !digits(name, 16, name.size() - 16, sequence) || sequence < 2)) {
        return std::nullopt;
    }
    return fileTimeOf(t);
}

std::vector<KeptRepair> listKeptRepairs(IOpenFolder& kept) {
    std::vector<KeptRepair> repairs;
    for (const FileEntry& e : kept.list()) {
        const auto time = keptFolderTime(e.name);
        if ((e.attributes & fileattr::kDirectory) == 0 || !time) {
            continue;
        }
        KeptRepair repair{e.name, *time, 0, 0};
        try {
            for (const FileEntry& f : kept.openSubfolder(e.name)->list()) {
                repair.bytes += f.size;
                repair.files += (f.attributes & fileattr::kDirectory) == 0 ? 1 : 0;
            }
        } catch (const SystemError&) {
            // Unreadable: counted as empty, and pruned as its age and place say.
        }
        repairs.push_back(std::move(repair));
    }
    std::sort(repairs.begin(), repairs.end(), [](const KeptRepair& a, const KeptRepair& b) {
        return a.time != b.time ? a.time > b.time : a.name > b.name;
    });
    return repairs;
}

std::wstring keptRepairToRestore(IOpenFolder& kept, const std::wstring& name) {
    for (const KeptRepair& r : listKeptRepairs(kept)) {
        if (name.empty() ? r.files > 0 : nameKey(r.name) == nameKey(name)) {
            return r.name;
        }
    }
    return {};
}

std::vector<std::wstring> pruneKeptRepairs(IOpenFolder& kept, const KeepSettings& settings,
                                           std::uint64_t now, std::size_t room,
                                           std::uint64_t incoming, std::vector<Problem>& problems) {
    const std::uint64_t maxAge = std::uint64_t{settings.days} * kSecondsPerDay * kFileTimeSecond;
    std::uint64_t total = incoming;
    std::size_t count = room;
    std::vector<std::wstring> removed;
    bool dropping = false; // once one goes, every older one goes with it
    for (const KeptRepair& r : listKeptRepairs(kept)) {
        const bool tooOld = now > r.time && now - r.time > maxAge;
        dropping =
            dropping || tooOld || count >= settings.repairs || total + r.bytes > settings.bytes;
        if (!dropping) {
            ++count;
            total += r.bytes;
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
    for (int sequence = 1;; ++sequence) {
        try {
            return kept.createFolder(keptFolderName(now, sequence));
        } catch (const SystemError& e) {
            if (e.code() != err::kFileExists && e.code() != err::kAlreadyExists) {
                throw;
            }
            if (sequence == kMaxSequence) {
                throw;
            }
        }
    }
}

} // namespace kestrave
