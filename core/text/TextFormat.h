#pragma once
#include "core/text/Languages.h"
#include <charconv>
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>

namespace kestrave {

// The text with %1, %2… replaced by the values in order.
std::wstring substitute(std::wstring text, std::initializer_list<std::wstring> values);
inline std::wstring substitute(std::wstring text, const std::wstring& value) {
    return substitute(std::move(text), {value});
}

// A file or folder name as the file system compares it: in upper case.
std::wstring nameKey(std::wstring name);

// A whole number in decimal (or, below, in upper-case hexadecimal), with zeros before it up
// to `width` digits. Written with to_chars rather than to_wstring or printf, whose formatting
// machinery (floating point included) would otherwise be a tenth of the program.
template <std::integral T> std::wstring decimal(T value, std::size_t width = 0, int base = 10) {
    char digits[72];
    const auto end = std::to_chars(digits, digits + sizeof digits, value, base).ptr;
    const std::size_t count = static_cast<std::size_t>(end - digits);
    std::wstring text(count < width ? width - count : 0, L'0');
    for (const char* c = digits; c != end; ++c) {
        text.push_back(static_cast<wchar_t>(*c >= 'a' ? *c - 'a' + 'A' : *c));
    }
    return text;
}
template <std::integral T> std::wstring hexadecimal(T value, std::size_t width = 0) {
    return decimal(value, width, 16);
}

// A count with its thousands grouped as the language groups them: 50,000.
std::wstring groupedNumber(std::uint64_t n, const lang::Language& language);

} // namespace kestrave
