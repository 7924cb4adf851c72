#include "core/text/Languages.h"

#include <array>

namespace kestrave::lang {

namespace {
// Faces by role: status line, status bar, buttons, dialog text, report.
constexpr std::array<Language, 3> kLanguages{{
    {kSimplified, {L"微软雅黑", L"宋体", L"微软雅黑", L"微软雅黑", L"微软雅黑"}, L','},
    // The face Windows itself sets Traditional Chinese in since Vista.
    {kTraditional,
     {L"Microsoft JhengHei", L"Microsoft JhengHei", L"Microsoft JhengHei", L"Microsoft JhengHei",
      L"Microsoft JhengHei"},
     L','},
    // The system's own faces: a Chinese face is not installed on every English Windows.
    {kEnglish, {L"", L"", L"", L"", L""}, L','},
}};

constexpr std::uint16_t kPrimaryChinese = 0x04; // the low ten bits name the language
constexpr std::uint16_t kTraditionalIds[] = {
    0x0404, // Taiwan
    0x0C04, // Hong Kong
    0x1404, // Macau
    0x7C04, // Traditional, neutral
};
} // namespace

const Language& ofBlock(std::uint16_t block) {
    for (const Language& l : kLanguages) {
        if (l.block == block) {
            return l;
        }
    }
    return kLanguages.back();
}

const Language& forUiLanguage(std::uint16_t uiLanguage) {
    if ((uiLanguage & 0x3FF) != kPrimaryChinese) {
        return ofBlock(kEnglish);
    }
    for (std::uint16_t id : kTraditionalIds) {
        if (uiLanguage == id) {
            return ofBlock(kTraditional);
        }
    }
    return ofBlock(kSimplified);
}

std::span<const Language> all() {
    return kLanguages;
}

} // namespace kestrave::lang
