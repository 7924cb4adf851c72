#pragma once
#include "core/text/Languages.h"
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

// A count with its thousands grouped as the language groups them: 50,000.
std::wstring groupedNumber(std::uint64_t n, const lang::Language& language);

} // namespace kestrave
