#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "core/spooler/Operation.h"
#include "platform/IStringTable.h"

namespace kestrave {

enum class Operation { Repair, Disable };

// The system's own text for an error code.
using SystemMessage = std::function<std::wstring(std::uint32_t)>;

// The problems of an operation in words, one paragraph each, in the string table's language;
// empty when there were none.
std::wstring describeProblems(Operation operation, const std::vector<Problem>& problems,
                              const IStringTable& strings, const SystemMessage& systemMessage);

// The text with %1 replaced.
std::wstring substitute(std::wstring text, const std::wstring& value);

} // namespace kestrave
