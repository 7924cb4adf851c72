#pragma once
#include "platform/IStringTable.h"
#include "platform/win32/Win32Api.h"

namespace kestrave::win32 {

// The program file's string table in one language, read straight from its resources so the
// language is the one chosen here, whatever the thread's own.
class Win32StringTable : public IStringTable {
  public:
    // The block for the user's UI language (see tableLanguage).
    explicit Win32StringTable(HINSTANCE instance);
    Win32StringTable(HINSTANCE instance, LANGID language)
        : instance_(instance), language_(language) {}

    std::wstring text(int id) const override;
    LANGID language() const { return language_; }

  private:
    HINSTANCE instance_;
    LANGID language_;
};

} // namespace kestrave::win32
