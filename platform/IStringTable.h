#pragma once
#include <string>

namespace kestrave {

// The program's user-visible texts, in the language chosen at start-up.
class IStringTable {
  public:
    virtual ~IStringTable() = default;
    // The text of a string-table id (see resources/StringIds.h); empty when there is none.
    virtual std::wstring text(int id) const = 0;
};

} // namespace kestrave
