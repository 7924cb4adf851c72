#pragma once
#include <memory>
#include <optional>
#include <string>

#include "platform/IFileSystem.h"

namespace kestrave::win32 {

// Where the system keeps ProgramData, from its own key (only administrators can change it),
// so shell32 is not loaded for it; then through shell32, as a second way.
std::optional<std::wstring> programDataDirectory();

// %ProgramData%\Kestrave\Cleared, made or opened and checked (see IFileSystem::openKeepFolder).
std::unique_ptr<IOpenFolder> openKeepFolder(bool create);

} // namespace kestrave::win32
