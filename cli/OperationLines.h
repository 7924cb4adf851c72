#pragma once
#include <string>
#include <vector>

#include "cli/CommandLineRun.h"

namespace kestrave::cli {

// Problems or notes, a line each (a list of files keeps a line per file).
std::vector<std::wstring> describeLines(Operation op, const std::vector<Problem>& which,
                                        CliWorld& w);
// The last line of an operation that did all it set out to do.
std::wstring doneLine(Operation op, const Outcome& o, CliWorld& w);

} // namespace kestrave::cli
