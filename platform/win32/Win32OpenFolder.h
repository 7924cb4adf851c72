#pragma once
#include <memory>
#include <string>

#include "platform/IFileSystem.h"

namespace kestrave::win32 {

// Opens the folder itself and checks it through the handle (see IFileSystem::openFolder).
std::unique_ptr<IOpenFolder> openFolderByHandle(const std::wstring& path);

// Every folder from the drive's root down to `path`, each opened as itself.
FolderStanding examineFolderPath(const std::wstring& path);

} // namespace kestrave::win32
