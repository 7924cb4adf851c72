#pragma once
#include <string>

namespace kestrave {

// Conversion between the program's texts and the system's ANSI code page.
class IAnsiCodePage {
  public:
    virtual ~IAnsiCodePage() = default;
    virtual std::string toAnsi(const std::wstring& text) const = 0;
    virtual std::wstring fromAnsi(const std::string& text) const = 0;
};

} // namespace kestrave
