#include "core/system/RegistryValue.h"

#include <algorithm>
#include <cwctype>
#include <vector>

namespace kestrave {

std::wstring variantText(const RegVariant& v) {
    if (const auto* text = std::get_if<std::wstring>(&v)) {
        return *text;
    }
    if (const auto* number = std::get_if<std::int32_t>(&v)) {
        return std::to_wstring(*number);
    }
    return {};
}

double leadingNumber(const std::wstring& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) {
        ++i;
    }
    std::size_t end = i;
    if (end < text.size() && (text[end] == L'-' || text[end] == L'+')) {
        ++end;
    }
    const std::size_t digitsFrom = end;
    while (end < text.size() && std::iswdigit(text[end])) {
        ++end;
    }
    if (end < text.size() && text[end] == L'.') {
        ++end;
        while (end < text.size() && std::iswdigit(text[end])) {
            ++end;
        }
    }
    if (end == digitsFrom || (end == digitsFrom + 1 && text[digitsFrom] == L'.')) {
        return 0;
    }
    try {
        return std::stod(text.substr(i, end - i));
    } catch (...) {
        return 0;
    }
}

RegVariant RegistryReader::readRegistryValue(const RegKey& root, const std::wstring& subKey,
                                             const std::wstring& valueName) {
    RegKey opened = 0;
    const std::string path = ansi_.toAnsi(subKey);
    reg_.RegOpenKeyExA(root, path.c_str(), 0, 0x3F, &opened);
    RegVariant value;
    queryRegistryValue(opened, valueName, value);
    RegVariant result = value;
    reg_.RegCloseKey(opened);
    return result;
}

std::int32_t RegistryReader::queryRegistryValue(RegKey key, std::wstring valueName,
                                                RegVariant& out) {
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    const std::string name = ansi_.toAnsi(valueName);
    std::int32_t status = reg_.RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
    switch (type) {
    case reg::kSz: {
        std::vector<std::uint8_t> buffer(size, 0);
        std::uint32_t got = size;
        status = reg_.RegQueryValueExA(key, name.c_str(), nullptr, &type,
                                       buffer.empty() ? nullptr : buffer.data(), &got);
        if (status == 0) {
            const std::size_t bytes = std::min<std::size_t>(got, buffer.size());
            std::wstring text =
                ansi_.fromAnsi(std::string(reinterpret_cast<const char*>(buffer.data()), bytes));
            if (text.size() > got) {
                text.resize(got);
            }
            // The stored terminator is not part of the value.
            const std::size_t nul = text.find(L'\0');
            if (nul != std::wstring::npos) {
                text.resize(nul);
            }
            out = text;
        } else {
            out = std::monostate{};
        }
        break;
    }
    case reg::kDword: {
        // Only a value of exactly four bytes fits the integer; anything else is not read.
        if (size != sizeof(std::int32_t)) {
            status = -1;
            break;
        }
        std::int32_t number = 0;
        std::uint32_t got = size;
        status = reg_.RegQueryValueExA(key, name.c_str(), nullptr, &type,
                                       reinterpret_cast<std::uint8_t*>(&number), &got);
        if (status == 0) {
            out = number;
        }
        break;
    }
    default:
        status = -1;
        break;
    }
    return status;
}

} // namespace kestrave
