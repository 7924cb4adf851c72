#pragma once
#include <cstdint>
#include <string>

#include "platform/IRegistry.h"

namespace kestrave {

// A text value: REG_SZ, or REG_EXPAND_SZ whose %references% the caller expands.
struct RegistryText {
    std::wstring text;
    bool expandable = false;
};

// Typed readings of HKEY_LOCAL_MACHINE values, never a guess: each returns 0, the system's
// code of the read (2: the key or the value is missing), err::kDatatypeMismatch for a value of
// another type, or err::kInvalidData for a malformed one. out is written only on 0.

// A text: an even number of bytes ending in its terminator (the registry keeps whatever
// was written, and some readers hand back an unterminated string as a success).
std::uint32_t readRegistryText(IRegistry& registry, const std::wstring& subKey,
                               const std::wstring& name, RegistryText& out);
// A REG_DWORD of exactly four bytes.
std::uint32_t readRegistryDword(IRegistry& registry, const std::wstring& subKey,
                                const std::wstring& name, std::uint32_t& out);

// The same checks on a value already read.
std::uint32_t registryText(const RegistryData& data, RegistryText& out);
std::uint32_t registryDword(const RegistryData& data, std::uint32_t& out);

} // namespace kestrave
