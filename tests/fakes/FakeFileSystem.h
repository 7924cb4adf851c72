#pragma once
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
    std::vector<std::wstring> ownFolders{L"C:\\Windows",       L"C:\\Windows\\System32",
                                         L"C:\\Users",         L"C:\\Program Files",
                                         L"C:\\Program Files (x86)", L"C:\\ProgramData"};
    std::map<std::wstring, std::uint32_t> folders;          // path -> attributes
    std::map<std::wstring, std::vector<FileEntry>> entries; // folder -> entries
    std::map<std::wstring, int> heldFor;                    // path -> refused deletes (-1 always)
    std::map<std::wstring, FolderStanding> standings;       // examined: Trusted unless set
    std::map<std::wstring, std::wstring> swappedFor;        // name -> the folder it now links to
    std::vector<std::wstring> deleted;
    int deleteAttempts = 0;
    std::function<void(const std::wstring&)> onDelete;

    void addFile(const std::wstring& folder, const std::wstring& name,
                 std::uint32_t attrs = fileattr::kArchive) {
        folders.emplace(folder, fileattr::kDirectory);
        entries[folder].push_back({name, attrs});
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
    FolderStanding examineFolderPath(const std::wstring& path) override {
        if (const auto s = standings.find(path); s != standings.end()) {
            return s->second;
        }
        const auto a = attributes(path);
        if (!a || (*a & fileattr::kDirectory) == 0) {
            return FolderStanding::Missing;
        }
        return (*a & fileattr::kReparsePoint) != 0 ? FolderStanding::Link
                                                   : FolderStanding::Trusted;
    }
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

  private:
    // Everything through the folder it was opened as, never by name again.
    class Opened : public IOpenFolder {
      public:
        Opened(FakeFileSystem& fs, std::wstring folder) : fs_(fs), folder_(std::move(folder)) {}
        std::vector<FileEntry> list() override {
            ++fs_.lists;
            if (const auto f = fs_.listFails.find(folder_);
                f != fs_.listFails.end() && fs_.lists > fs_.listFailsAfter) {
                throw SystemError(f->second, "cannot list the folder");
            }
            return fs_.entries[folder_];
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

      private:
        FakeFileSystem& fs_;
        std::wstring folder_;
    };
};

} // namespace kestrave::fake
