#pragma once
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/IFileSystem.h"
#include "platform/SystemError.h"

namespace kestrave::fake {

// Folders and their entries by full path; files may be held open for a number of deletes.
class FakeFileSystem : public IFileSystem {
  public:
    std::wstring systemDir = L"C:\\Windows\\System32";
    std::map<std::wstring, std::uint32_t> folders;          // path -> attributes
    std::map<std::wstring, std::vector<FileEntry>> entries; // folder -> entries
    std::map<std::wstring, int> heldFor;                    // path -> refused deletes (-1 always)
    std::vector<std::wstring> deleted;
    int deleteAttempts = 0;
    std::function<void(const std::wstring&)> onDelete;

    void addFile(const std::wstring& folder, const std::wstring& name,
                 std::uint32_t attrs = fileattr::kArchive) {
        folders.emplace(folder, fileattr::kDirectory);
        entries[folder].push_back({name, attrs});
    }

    std::wstring systemDirectory() override { return systemDir; }
    std::optional<std::uint32_t> attributes(const std::wstring& path) override {
        const auto f = folders.find(path);
        if (f == folders.end()) {
            return std::nullopt;
        }
        return f->second;
    }
    std::vector<FileEntry> list(const std::wstring& folder) override {
        if (folders.count(folder) == 0) {
            throw SystemError(err::kPathNotFound, "folder not found");
        }
        return entries[folder];
    }
    std::uint32_t deleteFile(const std::wstring& path) override {
        ++deleteAttempts;
        if (onDelete) {
            onDelete(path);
        }
        const auto held = heldFor.find(path);
        if (held != heldFor.end() && held->second != 0) {
            if (held->second > 0) {
                --held->second;
            }
            return err::kSharingViolation;
        }
        const std::size_t slash = path.rfind(L'\\');
        auto& list = entries[path.substr(0, slash)];
        for (auto it = list.begin(); it != list.end(); ++it) {
            if (it->name == path.substr(slash + 1)) {
                if ((it->attributes & fileattr::kDirectory) != 0) {
                    return err::kAccessDenied;
                }
                list.erase(it);
                deleted.push_back(path);
                return 0;
            }
        }
        return err::kFileNotFound;
    }
};

} // namespace kestrave::fake
