#include "core/text/TextFormat.h"

#include <cwctype>

namespace kestrave {

std::wstring substitute(std::wstring text, std::initializer_list<std::wstring> values) {
    int n = 1;
    for (const std::wstring& value : values) {
        const std::wstring mark = L"%" + decimal(n++);
        if (const std::size_t at = text.find(mark); at != std::wstring::npos) {
            text.replace(at, mark.size(), value);
        }
    }
    return text;
}

std::wstring nameKey(std::wstring name) {
    for (wchar_t& c : name) {
        c = static_cast<wchar_t>(std::towupper(c));
    }
    return name;
}

std::wstring groupedNumber(std::uint64_t n, const lang::Language& language) {
    std::wstring digits = decimal(n);
    for (std::size_t i = digits.size(); i > 3; i -= 3) {
        digits.insert(i - 3, 1, language.groupSeparator);
    }
    return digits;
}

} // namespace kestrave
