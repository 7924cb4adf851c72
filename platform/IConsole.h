#pragma once
#include <cstdint>
#include <string>

namespace kestrave {

// Where the command line's lines go: the console it was started from, or the file or pipe
// its output was redirected to.
class IConsole {
  public:
    virtual ~IConsole() = default;
    virtual void writeLine(const std::wstring& line) = 0;  // standard output
    virtual void writeError(const std::wstring& line) = 0; // standard error
};

// A log file every line is appended to, each after a local ISO 8601 time stamp, in UTF-8.
class ILogFile {
  public:
    virtual ~ILogFile() = default;
    // Opens the file for appending, creating it if missing: 0 or the system's code.
    virtual std::uint32_t open(const std::wstring& path) = 0;
    virtual void append(const std::wstring& line) = 0;
};

} // namespace kestrave
