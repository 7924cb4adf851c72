#pragma once
#include <span>
#include <string_view>

#include "cli/Arguments.h"

namespace kestrave::cli {

// The command line's switches, one row each, in the order the usage describes them: what
// parsing accepts, what the usage prints (each text once, where rows share one) and what its
// test checks. A new switch is a row here and its text in the string table.
enum class Takes { Nothing, OptionalValue, Value }; // Value: "/name:VALUE", VALUE not empty
enum class Modifier { None, Keep, Discard, Force, Json, Log };

struct Switch {
    std::wstring_view name; // as typed after / or -, in lower case
    Takes takes;
    Action action;     // the action it asks for, Window for a modifier
    Modifier modifier; // or what it changes about the action
    int usage;         // its line of the usage (string id)
};

std::span<const Switch> switches();
// The row of a name, in any case; null for none.
const Switch* switchNamed(std::wstring_view name);

} // namespace kestrave::cli
