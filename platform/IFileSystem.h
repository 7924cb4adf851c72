#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrave {

namespace fileattr {
constexpr std::uint32_t kReadOnly = 0x1;
constexpr std::uint32_t kHidden = 0x2;
constexpr std::uint32_t kSystem = 0x4;
constexpr std::uint32_t kDirectory = 0x10;
constexpr std::uint32_t kArchive = 0x20;
constexpr std::uint32_t kNormal = 0x80;
constexpr std::uint32_t kReparsePoint = 0x400;
} // namespace fileattr

struct FileEntry {
    std::wstring name;
    std::uint32_t attributes = 0;
};

class IFileSystem {
  public:
    virtual ~IFileSystem() = default;
    // The system directory, such as C:\Windows\System32, without a trailing backslash.
    virtual std::wstring systemDirectory() = 0;
    // The Windows directory, such as C:\Windows, without a trailing backslash.
    virtual std::wstring windowsDirectory() = 0;
    // The text with its %Name% references replaced from the system's environment, as a
    // REG_EXPAND_SZ value or a service's image path is meant to be read.
    virtual std::wstring expandPath(const std::wstring& text) = 0;
    // The path's attributes, without following a link at its end; none when it is missing.
    virtual std::optional<std::uint32_t> attributes(const std::wstring& path) = 0;
    // The entries directly in a folder (no "." and ".."). Throws SystemError.
    virtual std::vector<FileEntry> list(const std::wstring& folder) = 0;
    // Deletes one file, or the link itself when the path is a link: 0 or the system's code.
    virtual std::uint32_t deleteFile(const std::wstring& path) = 0;
};

} // namespace kestrave
