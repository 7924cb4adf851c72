#pragma once
#include <memory>

#include "platform/IFileSystem.h"

namespace kestrave::win32 {

// %ProgramData%\Kestrave\Cleared, made or opened and checked (see IFileSystem::openKeepFolder).
std::unique_ptr<IOpenFolder> openKeepFolder(bool create);

} // namespace kestrave::win32
