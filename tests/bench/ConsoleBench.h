#pragma once
#include <string>

namespace kestrave::bench {

// Prints the console twin's size and its start-up to exit for /status beside a bare console
// program's, measured in the same run, rounds alternating which of the two goes first.
void benchConsole(const std::wstring& twin, const std::wstring& bare);

} // namespace kestrave::bench
