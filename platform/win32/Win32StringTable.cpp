#include "platform/win32/Win32StringTable.h"

#include "platform/win32/StartupTimeline.h"

namespace kestrave::win32 {

Win32StringTable::Win32StringTable(HINSTANCE instance)
    : Win32StringTable(instance, ::GetUserDefaultUILanguage()) {}

std::wstring Win32StringTable::text(int id) const {
    return lang::textOrEnglish([this](LANGID block, int n) { return textIn(block, n); },
                               language_.block, id);
}

std::wstring Win32StringTable::textIn(LANGID block, int id) const {
    // Strings are stored sixteen to a block, each as a length and that many UTF-16 units.
    const auto blockNumber = static_cast<WORD>(id / 16 + 1);
    const HRSRC res =
        ::FindResourceExW(instance_, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(blockNumber), block);
    const HGLOBAL loaded = res ? ::LoadResource(instance_, res) : nullptr;
    const auto* p = loaded ? static_cast<const wchar_t*>(::LockResource(loaded)) : nullptr;
    if (p == nullptr) {
        return {};
    }
    const wchar_t* end = p + ::SizeofResource(instance_, res) / sizeof(wchar_t);
    for (int i = 0; i < id % 16 && p < end; ++i) {
        p += 1 + static_cast<std::size_t>(*p);
    }
    if (p >= end || p + 1 + *p > end) {
        return {};
    }
    startup::mark(startup::kStrings);
    return std::wstring(p + 1, static_cast<std::size_t>(*p));
}

} // namespace kestrave::win32
