#pragma once
#include "app/App.h"

namespace kestrave::bench {

// Prints a repair of `files` queued files that keeps them beside the same that deletes them.
void benchKeep(App& app, int files);
// Prints `files` moved to another file system (copied, then deleted) beside deleted there.
void benchAcrossVolumes(App& app, int files);

} // namespace kestrave::bench
