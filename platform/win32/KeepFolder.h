#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/IFileSystem.h"
#include "platform/win32/Win32OpenFolder.h"

namespace kestrave::win32 {

// Where the system keeps ProgramData, from its own key (only administrators can change it),
// so shell32 is not loaded for it; then through shell32, as a second way.
std::optional<std::wstring> programDataDirectory();

// The program's own folder in ProgramData, held open and checked through its handle:
// Kestrave, owned by a trusted account and open to nobody else for more than reading. One
// that fails its checks (a standard user may make it first) is left as it is and named in
// `passedOver`; the program then uses a folder of its own for administrators alone, made
// under a name no one can predict and recorded in HKLM\SOFTWARE\Kestrave, and keeps using
// it. Throws SystemError (ERROR_FILE_NOT_FOUND where nothing is there and not to be made).
std::unique_ptr<Win32OpenFolder> openProgramFolder(bool create,
                                                   std::vector<std::wstring>* passedOver = nullptr);

// Cleared in the program's folder, made or opened and checked (see
// IFileSystem::openKeepFolder): a Cleared that fails its checks is passed over as Kestrave is.
std::unique_ptr<IOpenFolder> openKeepFolder(bool create, std::vector<std::wstring>* passedOver);

} // namespace kestrave::win32
