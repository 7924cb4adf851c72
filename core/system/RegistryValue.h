#pragma once
#include <cstdint>
#include <string>
#include <variant>

#include "platform/IAnsiCodePage.h"
#include "platform/IRegistry.h"

namespace kestrave {

// Empty, a text (REG_SZ) or a signed 32-bit integer (REG_DWORD).
using RegVariant = std::variant<std::monostate, std::wstring, std::int32_t>;

// The variant as text: Empty gives "", a number its decimal text.
std::wstring variantText(const RegVariant& v);
// The number at the start of a text, blanks skipped; 0 when there is none.
double leadingNumber(const std::wstring& text);

class RegistryReader {
  public:
    RegistryReader(IRegistry& registry, const IAnsiCodePage& ansi) : reg_(registry), ansi_(ansi) {}

    // Opens the key with access 0x3F, reads the value, closes the key; Empty on any failure.
    RegVariant readRegistryValue(const RegKey& root, const std::wstring& subKey,
                                 const std::wstring& valueName);
    // Reads a value from an open key into out: 0, -1 for a type that is not read, or the code
    // of the failed second read. out is written only when a value was read.
    std::int32_t queryRegistryValue(RegKey key, std::wstring valueName, RegVariant& out);

  private:
    IRegistry& reg_;
    const IAnsiCodePage& ansi_;
};

} // namespace kestrave
