#pragma once
#include "platform/IStringTable.h"
#include "platform/win32/Win32Api.h"

namespace kestrave::win32 {

// The program file's string table in one language, read straight from its resources so the
// language is the one chosen here, whatever the thread's own.
class Win32StringTable : public IStringTable {
  public:
    // The block for the user's UI language (see lang::forUiLanguage).
    explicit Win32StringTable(HINSTANCE instance);
    Win32StringTable(HINSTANCE instance, LANGID uiLanguage)
        : instance_(instance), language_(lang::forUiLanguage(uiLanguage)) {}

    std::wstring text(int id) const override;
    const lang::Language& language() const override { return language_; }
    // The text of one block only, without falling back: empty where it lacks the id.
    std::wstring textIn(LANGID block, int id) const;

  private:
    HINSTANCE instance_;
    const lang::Language& language_;
};

} // namespace kestrave::win32
