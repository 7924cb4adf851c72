#pragma once
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "core/spooler/Operation.h"
#include "core/spooler/Operations.h"
#include "core/text/TextFormat.h"
#include "platform/IStringTable.h"

namespace kestrave {

// The system's own text for an error code.
using SystemMessage = std::function<std::wstring(std::uint32_t)>;

// The problems of an operation in words, one paragraph each, in the string table's language;
// empty when there were none.
std::wstring describeProblems(Operation operation, const std::vector<Problem>& problems,
                              const IStringTable& strings, const SystemMessage& systemMessage);

// The spooler's state and a start type in words.
std::wstring stateText(std::uint32_t state, bool missing, const IStringTable& strings);
std::wstring startTypeText(std::uint32_t startType, const IStringTable& strings);
// What a step of an operation is doing, in words.
std::wstring stepText(Step step, const IStringTable& strings);
// Whether an operation did all it set out to do: the window's message, the status line and
// the command line's verdict and exit code all come from this.
bool succeeded(Operation operation, const Outcome& outcome);
// What an operation did, in one line; outcomeLines also gives shorter forms of it, each still
// true, for a place too narrow for every detail (longest first).
std::vector<std::wstring> outcomeLines(Operation operation, const Outcome& outcome,
                                       const IStringTable& strings);
std::wstring outcomeLine(Operation operation, const Outcome& outcome, const IStringTable& strings);

} // namespace kestrave
