#pragma once
#include <string>
#include <vector>

#include "platform/IRegistry.h"
#include "platform/IStringTable.h"

namespace kestrave::plugins {

// What the quarantine holds, a line each: the plug-in, its kind, when and by whom it was taken
// out; with a line of its own for one installed again meanwhile (a note) or one whose putting
// back was cut short (a problem). Empty when nothing is quarantined.
struct QuarantineLine {
    enum class Kind { Info, Note, Problem } kind = Kind::Info;
    std::wstring text;
};
std::vector<QuarantineLine> quarantineLines(IRegistry& registry, const IStringTable& strings);

} // namespace kestrave::plugins
