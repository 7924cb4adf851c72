#pragma once
#include <cstdint>

namespace kestrave {

// Registry key handle as the platform's predefined root values spell it; 0 is no key.
using RegKey = std::uintptr_t;
constexpr RegKey kHkeyLocalMachine = 0x80000002;

namespace reg {
constexpr std::uint32_t kNone = 0;
constexpr std::uint32_t kSz = 1;
constexpr std::uint32_t kExpandSz = 2;
constexpr std::uint32_t kBinary = 3;
constexpr std::uint32_t kDword = 4;
constexpr std::uint32_t kMultiSz = 7;
constexpr std::uint32_t kQword = 11;
} // namespace reg

// The ANSI registry functions, argument for argument; results are the system's codes.
class IRegistry {
  public:
    virtual ~IRegistry() = default;
    virtual std::int32_t RegOpenKeyExA(RegKey root, const char* subKey, std::uint32_t options,
                                       std::uint32_t access, RegKey* result) = 0;
    virtual std::int32_t RegQueryValueExA(RegKey key, const char* valueName,
                                          std::uint32_t* reserved, std::uint32_t* type,
                                          std::uint8_t* data, std::uint32_t* size) = 0;
    virtual std::int32_t RegCloseKey(RegKey key) = 0;
};

} // namespace kestrave
