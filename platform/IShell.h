#pragma once
#include <cstdint>
#include <string>

namespace kestrave {

class IShell {
  public:
    virtual ~IShell() = default;
    // Opens a web address in the user's browser: 0 or the system's code why not.
    virtual std::uint32_t openUrl(const std::wstring& url) = 0;
};

} // namespace kestrave
