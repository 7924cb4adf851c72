#pragma once
#include <string>

namespace kestrave::bench {

// Prints the program's start-up to its first status beside two references measured in the
// same run: an empty window, and a window with the system's themed controls and nothing of
// the program's own; then each one's steps. `kestrave` is the program to start.
void benchStartup(const std::wstring& kestrave);

} // namespace kestrave::bench
