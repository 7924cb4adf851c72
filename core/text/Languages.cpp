#include "core/text/Languages.h"

#include <array>

namespace kestrave::lang {

namespace {
constexpr std::uint16_t kChinese = 0x04;
constexpr std::uint16_t kTraditionalIds[] = {
    0x0404, // Taiwan
    0x0C04, // Hong Kong
    0x1404, // Macau
    0x7C04, // Traditional, neutral
};

// Faces by role: status line, status bar, buttons, dialog text, report.
constexpr std::array<Language, 3> kLanguages{{
    {kSimplified,
     {L"微软雅黑", L"宋体", L"微软雅黑", L"微软雅黑", L"微软雅黑"},
     L',',
     kChinese,
     {},
     "LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED",
     "zh-CN"},
    // The face Windows itself sets Traditional Chinese in since Vista.
    {kTraditional,
     {L"Microsoft JhengHei", L"Microsoft JhengHei", L"Microsoft JhengHei", L"Microsoft JhengHei",
      L"Microsoft JhengHei"},
     L',',
     kChinese,
     kTraditionalIds,
     "LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL",
     "zh-TW"},
    // The system's own faces: a Chinese face is not installed on every English Windows.
    {kEnglish, {L"", L"", L"", L"", L""}, L',', 0, {}, "LANG_ENGLISH, SUBLANG_ENGLISH_US", "en-US"},
}};
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
    const auto matches = [uiLanguage](const Language& l, bool listed) {
        if (listed != !l.only.empty() || (l.primary != 0 && (uiLanguage & 0x3FF) != l.primary)) {
            return false;
        }
        for (const std::uint16_t id : l.only) {
            if (id == uiLanguage) {
                return true;
            }
        }
        return l.only.empty();
    };
    for (const bool listed : {true, false}) {
        for (const Language& l : kLanguages) {
            if (matches(l, listed)) {
                return l;
            }
        }
    }
    return kLanguages.back();
}

std::span<const Language> all() {
    return kLanguages;
}

} // namespace kestrave::lang
