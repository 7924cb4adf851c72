#pragma once
#include <cwctype>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/IFileSystem.h"
#include "platform/SystemError.h"

namespace kestrave::fake {

// Folders and their entries by full path; files may be held open for a number of deletes.
// Paths may come verbatim ("\\?\" first): they name the same entries, taken as they are.
class FakeFileSystem : public IFileSystem {
  public:
    static std::wstring plain(const std::wstring& path) {
        return path.rfind(L"\\\\?\\", 0) == 0 ? path.substr(4) : path;
    }
    // Folders whose listing fails with this code (after `listFailsAfter` good listings).
    std::map<std::wstring, std::uint32_t> listFails;
    int listFailsAfter = 0;
    int lists = 0;
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

    std::wstring windowsDir = L"C:\\Windows";
    std::wstring systemDirectory() override { return systemDir; }
    std::wstring windowsDirectory() override { return windowsDir; }
    // %SystemRoot% and %windir%, in any case, as the Windows folder; anything else stays.
    std::wstring expandPath(const std::wstring& text) override {
        std::wstring out = text;
        for (const std::wstring name : {L"%systemroot%", L"%windir%"}) {
            for (std::size_t at = 0; (at = lower(out).find(name, at)) != std::wstring::npos;) {
                out.replace(at, name.size(), windowsDir);
                at += windowsDir.size();
            }
        }
        return out;
    }
    static std::wstring lower(std::wstring s) {
        for (wchar_t& c : s) {
            c = static_cast<wchar_t>(std::towlower(c));
        }
        return s;
    }
    std::optional<std::uint32_t> attributes(const std::wstring& path) override {
        const auto f = folders.find(plain(path));
        if (f == folders.end()) {
            return std::nullopt;
        }
        return f->second;
    }
    std::vector<FileEntry> list(const std::wstring& path) override {
        const std::wstring folder = plain(path);
        ++lists;
        if (const auto f = listFails.find(folder); f != listFails.end() && lists > listFailsAfter) {
            throw SystemError(f->second, "cannot list the folder");
        }
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
        const auto held = heldFor.find(plain(path));
        if (held != heldFor.end() && held->second != 0) {
            if (held->second > 0) {
                --held->second;
            }
            return err::kSharingViolation;
        }
        // Without the verbatim prefix, the system drops a trailing dot or blank from a name.
        const bool verbatim = plain(path) != path;
        std::wstring target = plain(path);
        const std::size_t slash = target.rfind(L'\\');
        std::wstring name = target.substr(slash + 1);
        if (!verbatim) {
            while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) {
                name.pop_back();
            }
        }
        if (!verbatim && target.size() >= 260) {
            return err::kPathNotFound; // past MAX_PATH only the verbatim form reaches it
        }
        auto& list = entries[target.substr(0, slash)];
        for (auto it = list.begin(); it != list.end(); ++it) {
            if (it->name == name) {
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
