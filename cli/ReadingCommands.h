#pragma once
#include "cli/Arguments.h"
#include "cli/CommandLines.h"

namespace kestrave::cli {

// Each says its lines (or, with /json, its document) and returns the exit code.
int diagnose(Lines& lines, CliWorld& w, bool json);
int explain(Lines& lines, CliWorld& w, const Arguments& args);
int listQuarantine(Lines& lines, CliWorld& w, bool json);

} // namespace kestrave::cli
