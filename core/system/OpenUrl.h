#pragma once
#include <string>

#include "platform/IAnsiCodePage.h"
#include "platform/IShell.h"

namespace kestrave {

// Hands a web address to the shell to open; false when the shell refuses it.
bool openUrl(IShell& shell, const IAnsiCodePage& ansi, const std::wstring& url);

} // namespace kestrave
