#pragma once
#include <cstdint>

namespace kestrave {

// The language of the string table the program shows, from the user's UI language (a
// Windows language id): Simplified Chinese for any Chinese UI language, English otherwise.
constexpr std::uint16_t kChineseSimplified = 0x0804;
constexpr std::uint16_t kEnglishUs = 0x0409;

constexpr std::uint16_t tableLanguage(std::uint16_t uiLanguage) {
    constexpr std::uint16_t kPrimaryChinese = 0x04; // the low ten bits name the language
    return (uiLanguage & 0x3FF) == kPrimaryChinese ? kChineseSimplified : kEnglishUs;
}

} // namespace kestrave
