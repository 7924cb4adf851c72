#pragma once
#include "ui/IWindowSystem.h"

namespace kestrave::win32 {

// The product name and version numbers from the program file's own version record; empty
// and zero where the record cannot be read.
ui::AppVersion readVersionRecord();

} // namespace kestrave::win32
