#pragma once
#include <cstdint>
#include <string>

namespace kestrave {

class IShell {
  public:
    virtual ~IShell() = default;
    // Opens a web address in the browser of the desktop's user: 0 or the system's code why
    // not; err::kNoDesktopUser where that user cannot be reached and the program, running
    // with administrator rights, will not start a browser with them itself.
    virtual std::uint32_t openUrl(const std::wstring& url) = 0;
};

} // namespace kestrave
