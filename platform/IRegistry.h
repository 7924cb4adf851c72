#pragma once
#include <cstdint>
#include <string>
#include <utility>
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
    friend bool operator==(const RegistryData&, const RegistryData&) = default;
};

// A key as a whole, as the registry keeps it: its values in their order with their types and
// bytes, its subkeys, and its security descriptor (self-relative: owner, group and DACL).
struct RegistryKeyCopy {
    std::wstring name; // the key's own name (of the top one: as asked for)
    std::vector<std::pair<std::wstring, RegistryData>> values;
    std::vector<RegistryKeyCopy> subkeys;
    std::vector<std::uint8_t> security;
    friend bool operator==(const RegistryKeyCopy&, const RegistryKeyCopy&) = default;
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
    // Writes one value of a key that exists (2 when it does not), as given: type and bytes.
    virtual std::uint32_t writeMachineValue(const std::wstring& subKey, const std::wstring& name,
                                            const RegistryData& data) = 0;
    // Removes one value (2 when the key or the value is missing).
    virtual std::uint32_t deleteMachineValue(const std::wstring& subKey,
                                             const std::wstring& name) = 0;

    // A key with everything under it (2 when it is missing).
    virtual std::uint32_t readMachineKey(const std::wstring& subKey, RegistryKeyCopy& out) = 0;
    // Makes a key that is not there yet (183 when it is) with the values and subkeys of the
    // copy, and, withSecurity, each key's security descriptor from it; otherwise what is made
    // inherits from above. All or nothing: on a failure what it made is removed again.
    virtual std::uint32_t createMachineKey(const std::wstring& subKey, const RegistryKeyCopy& copy,
                                           bool withSecurity) = 0;
    // Removes a key and everything under it (2 when it is missing).
    virtual std::uint32_t deleteMachineKey(const std::wstring& subKey) = 0;
    // Makes the key for what only administrators may change, or checks the one there: owned by
    // SYSTEM or Administrators, nobody else granted more than reading. 0, or 5 for a key that
    // fails the check, or the system's code.
    virtual std::uint32_t secureMachineKey(const std::wstring& subKey) = 0;
};

} // namespace kestrave
