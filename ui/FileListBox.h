#pragma once
#include <string>

#include "platform/IFileSystem.h"

namespace kestrave::ui {

// Lists the files of one folder the way a file list box does: no sub-folders, no hidden or
// system files. Never shown; the program only counts with it.
class FileListBox {
  public:
    explicit FileListBox(IFileSystem& files) : files_(files) {}
    const std::wstring& path() const { return path_; }
    void setPath(const std::wstring& path) {
        path_ = path;
        refresh();
    }
    // Reads the folder again. Throws SystemError when it cannot be listed.
    void refresh() {
        count_ = 0;
        for (const FileEntry& e : files_.list(path_)) {
            constexpr std::uint32_t hiddenOrOther =
                fileattr::kDirectory | fileattr::kHidden | fileattr::kSystem;
            if ((e.attributes & hiddenOrOther) == 0) {
                ++count_;
            }
        }
    }
    int listCount() const { return count_; }

  private:
    IFileSystem& files_;
    std::wstring path_;
    int count_ = 0;
};

} // namespace kestrave::ui
