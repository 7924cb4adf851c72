#include "sysutil/ModOpenUrl.h"

#include <cstdint>

namespace kestrave {

void ModOpenUrl::OpenUrl(const std::wstring& url) {
    const std::string file = ansi_.toAnsi(url);
    const auto result = static_cast<std::int32_t>(
        shell_.ShellExecuteA(0, "open", file.c_str(), nullptr, nullptr, 0));
    if (result <= 32) {
        ui_.messageBox(L"Invoking browser error !", L"Error:", ui::msgbox::kIconError);
    }
}

} // namespace kestrave
