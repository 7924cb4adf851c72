#pragma once
#include <string>

#include "ui/IWindowSystem.h"

namespace kestrave::win32 {

// The product name and version numbers from the program file's own version record; empty
// and zero where the record cannot be read.
ui::AppVersion readVersionRecord();

// A text of a file's version record (such as CompanyName), from its first translation;
// empty where the file has no record or no such text.
std::wstring versionText(const std::wstring& path, const wchar_t* name);

} // namespace kestrave::win32
