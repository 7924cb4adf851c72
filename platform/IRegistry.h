#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kestrave {

namespace reg {
constexpr std::uint32_t kNone = 0;
constexpr std::uint32_t kSz = 1;
constexpr std::uint32_t kExpandSz = 2;
constexpr std::uint32_t kBinary = 3;
constexpr std::uint32_t kDword = 4;
constexpr std::uint32_t kMultiSz = 7;
constexpr std::uint32_t kQword = 11;
} // namespace reg

// One value exactly as the registry stores it: its type and its bytes, nothing converted.
struct RegistryData {
    std::uint32_t type = reg::kNone;
    std::vector<std::uint8_t> bytes;
};

// The machine's registry, wide, in the system's native view (a 32-bit program sees what the
// 64-bit one sees). Every call returns 0 or the system's code.
class IRegistry {
  public:
    virtual ~IRegistry() = default;
    // Reads one value under HKEY_LOCAL_MACHINE (2 when the key or the value is missing);
    // out is written only on success.
    virtual std::uint32_t readMachineValue(const std::wstring& subKey, const std::wstring& name,
                                           RegistryData& out) = 0;
    // The names of the keys directly under a key of HKEY_LOCAL_MACHINE (2 when it is missing).
    virtual std::uint32_t machineSubKeys(const std::wstring& subKey,
                                         std::vector<std::wstring>& out) = 0;
    // Writes a REG_DWORD under HKEY_LOCAL_MACHINE, making the key where it is missing.
    virtual std::uint32_t writeMachineDword(const std::wstring& subKey, const std::wstring& name,
                                            std::uint32_t value) = 0;
};

} // namespace kestrave
