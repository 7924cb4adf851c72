#pragma once
#include <cstdint>
#include <string>

#include "cli/CommandLineRun.h"

namespace kestrave::cli {

// The spooler as it stands: state, start type, the files a repair would delete.
struct Snapshot {
    std::uint32_t state = 0;
    bool missing = false;
    std::uint32_t startType = 0;
    std::size_t queued = 0;
    std::uint64_t queuedBytes = 0;
};

Snapshot snapshot(CliWorld& w);
// The snapshot as /status says it, in one line.
std::wstring statusLine(const Snapshot& s, CliWorld& w);

} // namespace kestrave::cli
