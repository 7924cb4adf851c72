#pragma once
#include <string>

#include "core/text/Languages.h"

namespace kestrave {

// The program's user-visible texts, in the language chosen at start-up.
class IStringTable {
  public:
    virtual ~IStringTable() = default;
    // The text of a string-table id (see resources/StringIds.h), in English where this
    // language lacks it; empty when there is none at all.
    virtual std::wstring text(int id) const = 0;
    // The language the texts are in: its faces and its number grouping.
    virtual const lang::Language& language() const = 0;
};

} // namespace kestrave
