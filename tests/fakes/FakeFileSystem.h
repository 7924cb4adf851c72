#pragma once
#include <algorithm>
#include <cwctype>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/IFileSystem.h"
#include "platform/SystemError.h"

namespace kestrave::fake {

// Folders and their entries by full path; files may be held open for a number of deletes.
// Paths may come verbatim ("\\?\" first): they name the same entries, taken as they are.
// A name can be swapped for a link to another folder at any moment: what is opened by name
// afterwards lands there, while a folder opened before keeps its own entries.
class FakeFileSystem : public IFileSystem {
  public:
    static std::wstring plain(const std::wstring& path) {
        return path.rfind(L"\\\\?\\", 0) == 0 ? path.substr(4) : path;
    }
    static std::wstring lower(std::wstring s) {
        for (wchar_t& c : s) {
            c = static_cast<wchar_t>(std::towlower(c));
        }
        return s;
    }
    // Folders whose listing fails with this code (after `listFailsAfter` good listings).
    std::map<std::wstring, std::uint32_t> listFails;
    int listFailsAfter = 0;
    int lists = 0;
    std::wstring systemDir = L"C:\\Windows\\System32";
    std::wstring windowsDir = L"C:\\Windows";
    std::vector<std::wstring> ownFolders{
        L"C:\\Windows",       L"C:\\Windows\\System32",   L"C:\\Users",
        L"C:\\Program Files", L"C:\\Program Files (x86)", L"C:\\ProgramData"};
    std::map<std::wstring, std::uint32_t> folders;          // path -> attributes
    std::map<std::wstring, std::vector<FileEntry>> entries; // folder -> entries
    std::map<std::wstring, int> heldFor;                    // path -> refused deletes (-1 always)
    std::map<std::wstring, FolderStanding> standings;       // examined: Trusted unless set
    std::map<std::wstring, std::wstring> swappedFor;        // name -> the folder it now links to
    std::vector<std::wstring> deleted;
    int deleteAttempts = 0;
    std::function<void(const std::wstring&)> onDelete;
    // The program's folder for kept jobs; a folder that failed its checks on the way there
    // (and was passed over for one of the program's own); the code with which not even a
    // folder of its own could be had (0: one could).
    std::wstring keepRoot = L"C:\\ProgramData\\Kestrave\\Cleared";
    std::wstring keepPassedOver;
    std::uint32_t keepRefusal = 0;
    std::uint64_t clock = 133'000'000'000'000'000; // now, as a FILETIME
    std::uint64_t freeSpace = 100ull << 30;
    std::map<std::wstring, std::vector<std::uint8_t>> contents; // file path -> its bytes
    std::map<std::wstring, std::uint32_t> moveFails;            // file name -> the code
    // Asked before each move (name, from, to): a code fails it, as a full disk would.
    std::function<std::uint32_t(const std::wstring&, const std::wstring&, const std::wstring&)>
        onMove;
    int togetherDeletes = 0;
    int moves = 0;
    int copies = 0; // moves across drives: copied, then deleted

    void addFile(const std::wstring& folder, const std::wstring& name,
                 std::uint32_t attrs = fileattr::kArchive, std::uint64_t size = 0) {
        folders.emplace(folder, fileattr::kDirectory);
        entries[folder].push_back({name, attrs, size, clock, size});
    }
    // A sparse file: `size` to its end, `allocated` of it on the volume.
    void addSparseFile(const std::wstring& folder, const std::wstring& name, std::uint64_t size,
                       std::uint64_t allocated) {
        folders.emplace(folder, fileattr::kDirectory);
        entries[folder].push_back({name, fileattr::kArchive | 0x200, size, clock, allocated});
    }
    void addFileWith(const std::wstring& folder, const std::wstring& name,
                     std::vector<std::uint8_t> bytes) {
        addFile(folder, name, fileattr::kArchive, bytes.size());
        contents[folder + L"\\" + name] = std::move(bytes);
    }
    void addFolder(const std::wstring& parent, const std::wstring& name) {
        folders.emplace(parent, fileattr::kDirectory);
        folders.emplace(parent + L"\\" + name, fileattr::kDirectory);
        entries[parent].push_back({name, fileattr::kDirectory, 0, clock});
        entries.emplace(parent + L"\\" + name, std::vector<FileEntry>{});
    }
    std::vector<std::wstring> names(const std::wstring& folder) const {
        std::vector<std::wstring> out;
        if (const auto e = entries.find(folder); e != entries.end()) {
            for (const FileEntry& f : e->second) {
                out.push_back(f.name);
            }
        }
        return out;
    }
    // The folder a name reaches now, through a swapped-in link.
    std::wstring resolve(const std::wstring& path) const {
        const auto s = swappedFor.find(plain(path));
        return s == swappedFor.end() ? plain(path) : s->second;
    }

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
    std::optional<std::uint32_t> attributes(const std::wstring& path) override {
        const auto f = folders.find(plain(path));
        if (f == folders.end()) {
            return std::nullopt;
        }
        return f->second;
    }
    std::vector<std::wstring> systemFolders() override { return ownFolders; }
    FolderStanding openConfiguredFolder(const std::wstring& path,
                                        std::unique_ptr<IOpenFolder>& out) override {
        ++configuredOpens;
        if (const auto s = standings.find(path); s != standings.end()) {
            return s->second;
        }
        const auto a = attributes(path);
        if (!a || (*a & fileattr::kDirectory) == 0) {
            return FolderStanding::Missing;
        }
        if ((*a & fileattr::kReparsePoint) != 0) {
            return FolderStanding::Link;
        }
        out = openFolder(path);
        if (afterConfiguredOpen) {
            afterConfiguredOpen();
        }
        return FolderStanding::Trusted;
    }
    int configuredOpens = 0;
    std::function<void()> afterConfiguredOpen; // between the check and any use
    std::unique_ptr<IOpenFolder> openFolder(const std::wstring& path) override {
        const std::wstring folder = plain(path);
        const auto a = attributes(folder);
        if (!a) {
            throw SystemError(err::kPathNotFound, "folder not found");
        }
        if ((*a & fileattr::kReparsePoint) != 0 || swappedFor.count(folder) != 0) {
            throw SystemError(1920, "a link, not the folder"); // ERROR_CANT_ACCESS_FILE
        }
        return std::make_unique<Opened>(*this, folder);
    }
    std::unique_ptr<IOpenFolder>
    openKeepFolder(bool create, std::vector<std::wstring>* passedOver = nullptr) override {
        if (passedOver != nullptr && !keepPassedOver.empty()) {
            passedOver->push_back(keepPassedOver);
        }
        if (keepRefusal != 0) {
            throw SystemError(keepRefusal, "not even a folder of the program's own");
        }
        if (folders.count(keepRoot) == 0) {
            if (!create) {
                throw SystemError(err::kFileNotFound, "no folder of kept jobs");
            }
            folders[keepRoot] = fileattr::kDirectory;
        }
        return std::make_unique<Opened>(*this, keepRoot);
    }
    std::uint64_t now() override { return clock; }

  private:
    // Everything through the folder it was opened as, never by name again.
    class Opened : public IOpenFolder {
      public:
        Opened(FakeFileSystem& fs, std::wstring folder) : fs_(fs), folder_(std::move(folder)) {}
        std::uint32_t list(std::vector<FileEntry>& out) override {
            ++fs_.lists;
            out.clear();
            if (const auto f = fs_.listFails.find(folder_);
                f != fs_.listFails.end() && fs_.lists > fs_.listFailsAfter) {
                return f->second;
            }
            out = fs_.entries[folder_];
            return 0;
        }
        std::uint32_t deleteEntry(const std::wstring& name) override {
            ++fs_.deleteAttempts;
            const std::wstring path = L"\\\\?\\" + folder_ + L"\\" + name;
            if (fs_.onDelete) {
                fs_.onDelete(path);
            }
            const auto held = fs_.heldFor.find(folder_ + L"\\" + name);
            if (held != fs_.heldFor.end() && held->second != 0) {
                if (held->second > 0) {
                    --held->second;
                }
                return err::kSharingViolation;
            }
            auto& list = fs_.entries[folder_];
            for (auto it = list.begin(); it != list.end(); ++it) {
                if (it->name == name) {
                    if ((it->attributes & fileattr::kDirectory) != 0) {
                        return err::kAccessDenied;
                    }
                    list.erase(it);
                    fs_.deleted.push_back(path);
                    return 0;
                }
            }
            return err::kFileNotFound;
        }
        Deletion deleteEntries(const std::vector<std::wstring>& names) override {
            ++fs_.togetherDeletes;
            for (const std::wstring& name : names) {
                const auto held = fs_.heldFor.find(folder_ + L"\\" + name);
                if (held != fs_.heldFor.end() && held->second != 0) {
                    if (held->second > 0) {
                        --held->second;
                    }
                    return {err::kSharingViolation, name, 0};
                }
            }
            Deletion done;
            for (const std::wstring& name : names) {
                const std::uint32_t code = deleteEntry(name);
                if (code == 0) {
                    ++done.deleted;
                } else if (code != err::kFileNotFound) {
                    return {code, name, done.deleted};
                }
            }
            return done;
        }
        std::uint32_t moveEntryTo(const std::wstring& name, IOpenFolder& target) override {
            auto& to = dynamic_cast<Opened&>(target);
            if (const auto f = fs_.moveFails.find(name); f != fs_.moveFails.end()) {
                return f->second;
            }
            if (fs_.onMove) {
                if (const std::uint32_t code = fs_.onMove(name, folder_, to.folder_); code != 0) {
                    return code;
                }
            }
            auto& from = fs_.entries[folder_];
            const auto it = std::find_if(from.begin(), from.end(),
                                         [&](const FileEntry& e) { return e.name == name; });
            if (it == from.end() || (it->attributes & fileattr::kDirectory) != 0) {
                return it == from.end() ? err::kFileNotFound : err::kAccessDenied;
            }
            auto& into = fs_.entries[to.folder_];
            for (const FileEntry& e : into) {
                if (lower(e.name) == lower(name)) {
                    return err::kFileExists;
                }
            }
            ++fs_.moves;
            fs_.copies += std::towlower(folder_[0]) != std::towlower(to.folder_[0]) ? 1 : 0;
            into.push_back(*it);
            from.erase(it);
            const auto bytes = fs_.contents.find(folder_ + L"\\" + name);
            if (bytes != fs_.contents.end()) {
                fs_.contents[to.folder_ + L"\\" + name] = std::move(bytes->second);
                fs_.contents.erase(bytes);
            }
            return 0;
        }
        std::uint32_t createFolder(const std::wstring& name,
                                   std::unique_ptr<IOpenFolder>& out) override {
            if (fs_.folders.count(folder_ + L"\\" + name) != 0) {
                return err::kFileExists;
            }
            fs_.addFolder(folder_, name);
            out = std::make_unique<Opened>(fs_, folder_ + L"\\" + name);
            return 0;
        }
        std::uint32_t openSubfolder(const std::wstring& name,
                                    std::unique_ptr<IOpenFolder>& out) override {
            try {
                out = fs_.openFolder(folder_ + L"\\" + name);
                return 0;
            } catch (const SystemError& e) {
                return e.code();
            }
        }
        std::uint32_t deleteSubfolder(const std::wstring& name) override {
            const std::wstring path = folder_ + L"\\" + name;
            if (fs_.folders.count(path) == 0) {
                return err::kFileNotFound;
            }
            if (!fs_.entries[path].empty()) {
                return 145; // ERROR_DIR_NOT_EMPTY
            }
            fs_.folders.erase(path);
            fs_.entries.erase(path);
            auto& list = fs_.entries[folder_];
            list.erase(std::remove_if(list.begin(), list.end(),
                                      [&](const FileEntry& e) { return e.name == name; }),
                       list.end());
            return 0;
        }
        std::uint32_t readStart(const std::wstring& name, std::size_t limit,
                                std::vector<std::uint8_t>& out) override {
            const auto bytes = fs_.contents.find(folder_ + L"\\" + name);
            if (bytes == fs_.contents.end()) {
                return err::kFileNotFound;
            }
            out.assign(bytes->second.begin(),
                       bytes->second.begin() +
                           static_cast<std::ptrdiff_t>(std::min(limit, bytes->second.size())));
            return 0;
        }
        std::uint64_t freeBytes() override { return fs_.freeSpace; }
        std::wstring path() const override { return folder_; }

      private:
        FakeFileSystem& fs_;
        std::wstring folder_;
    };
};

} // namespace kestrave::fake
