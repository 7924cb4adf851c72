#pragma once
#include <cstdint>
#include <string>

#include "platform/IConsole.h"

namespace kestrave::cli {

// Why a log that opened is still not written to: a log path another account controls could
// otherwise make this program, as SYSTEM, create or append to any file.
enum class LogRefusal {
    None,
    Link,         // the file or its folder is a link or junction, or lies behind one
    HardLink,     // the file has another name too
    ForeignOwner, // (elevated) the file or its folder belongs to another account
};

struct LogOpening {
    std::uint32_t code = 0; // the system's code when it could not be opened at all
    LogRefusal refusal = LogRefusal::None;
    bool ok() const { return code == 0 && refusal == LogRefusal::None; }
};

// Opens the log and judges it by what its handles say; a refused log is closed again.
LogOpening openCheckedLog(ILogFile& log, const std::wstring& path);

} // namespace kestrave::cli
