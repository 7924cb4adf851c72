#include "core/system/RegistryValue.h"

#include <cstring>

#include "platform/SystemError.h"

namespace kestrave {

std::uint32_t registryText(const RegistryData& data, RegistryText& out) {
    if (data.type != reg::kSz && data.type != reg::kExpandSz) {
        return err::kDatatypeMismatch;
    }
    if (data.bytes.size() % sizeof(char16_t) != 0) {
        return err::kInvalidData;
    }
    std::wstring text;
    bool terminated = false;
    for (std::size_t i = 0; i < data.bytes.size(); i += 2) {
        // Stored little-endian UTF-16 whatever wchar_t is here.
        const auto unit = static_cast<wchar_t>(data.bytes[i] | (data.bytes[i + 1] << 8));
        if (unit == L'\0') {
            terminated = true;
            break;
        }
        text += unit;
    }
    if (!terminated) {
        return err::kInvalidData;
    }
    out = RegistryText{std::move(text), data.type == reg::kExpandSz};
    return 0;
}

std::uint32_t registryDword(const RegistryData& data, std::uint32_t& out) {
    if (data.type != reg::kDword) {
        return err::kDatatypeMismatch;
    }
    if (data.bytes.size() != sizeof(std::uint32_t)) {
        return err::kInvalidData;
    }
    out = static_cast<std::uint32_t>(data.bytes[0]) | (data.bytes[1] << 8) |
          (data.bytes[2] << 16) | (static_cast<std::uint32_t>(data.bytes[3]) << 24);
    return 0;
}

std::uint32_t readRegistryText(IRegistry& registry, const std::wstring& subKey,
                               const std::wstring& name, RegistryText& out) {
    RegistryData data;
    if (const std::uint32_t code = registry.readMachineValue(subKey, name, data); code != 0) {
        return code;
    }
    return registryText(data, out);
}

std::uint32_t readRegistryDword(IRegistry& registry, const std::wstring& subKey,
                                const std::wstring& name, std::uint32_t& out) {
    RegistryData data;
    if (const std::uint32_t code = registry.readMachineValue(subKey, name, data); code != 0) {
        return code;
    }
    return registryDword(data, out);
}

} // namespace kestrave
