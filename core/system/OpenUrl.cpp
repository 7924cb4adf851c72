#include "core/system/OpenUrl.h"

#include <cstdint>

namespace kestrave {

bool openUrl(IShell& shell, const IAnsiCodePage& ansi, const std::wstring& url) {
    const std::string file = ansi.toAnsi(url);
    const auto result = static_cast<std::int32_t>(
        shell.ShellExecuteA(0, "open", file.c_str(), nullptr, nullptr, 0));
    // The shell's answers up to 32 are its error codes.
    return result > 32;
}

} // namespace kestrave
