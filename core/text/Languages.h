#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The languages the program speaks, as data: which block of the string table a user's UI
// language reads, the font faces each kind of text is set in, and how numbers are grouped.
// A new language is a row here, a block in the resource script and its Group Policy texts
// (packaging/policy/LOCALE/Kestrave.adml), which the release takes by this table.
namespace kestrave::lang {

// The string table's blocks, by Windows language id.
constexpr std::uint16_t kEnglish = 0x0409;
constexpr std::uint16_t kSimplified = 0x0804;
constexpr std::uint16_t kTraditional = 0x0404;

// What a text is, for choosing its face.
enum class Role { StatusLine, StatusBar, Button, DialogText, Report, Count };

struct Language {
    std::uint16_t block;
    // By role; empty: the system's own face for windows (the platform picks it).
    std::wstring_view faces[static_cast<int>(Role::Count)];
    wchar_t groupSeparator; // between groups of three digits
    // Which UI languages read this block: those of this primary language (the low ten bits;
    // 0 for any, the fallback row, which comes last), and of those, where `only` lists ids,
    // just these; a row with a list is looked at before one without.
    std::uint16_t primary = 0;
    std::span<const std::uint16_t> only = {};
    // The block's LANGUAGE statement in the resource script.
    std::string_view script = {};
    // The language's name as Windows writes it ("zh-CN"): the folder of its Group Policy texts.
    std::string_view locale = {};
    std::wstring_view face(Role role) const { return faces[static_cast<int>(role)]; }
};

// The row a UI language reads (Traditional Chinese for Taiwan, Hong Kong, Macau and the neutral
// Traditional id; Simplified for any other Chinese; English for every other language), by the
// rows' rules alone.
const Language& forUiLanguage(std::uint16_t uiLanguage);
// The row of a block; English for a block the program does not have.
const Language& ofBlock(std::uint16_t block);
std::span<const Language> all();

// The text of `id` in `block`, else the English one: a text a translation lacks shows in
// English, never blank. `find(block, id)` gives the text, or empty where there is none.
template <typename Find> std::wstring textOrEnglish(Find find, std::uint16_t block, int id) {
    std::wstring text = find(block, id);
    if (text.empty() && block != kEnglish) {
        text = find(kEnglish, id);
    }
    return text;
}

} // namespace kestrave::lang
