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

// What an opened log file and its folder are, read through their own handles.
struct LogFileFacts {
    bool folderReached = true;       // the folder is a real one, reached by its name, no link
    bool fileIsLink = false;         // the entry itself is a link or junction
    std::uint32_t names = 1;         // hard links to the file, its own name included
    bool folderOwnerTrusted = true;  // SYSTEM, Administrators, TrustedInstaller or this account
    bool fileOwnerTrusted = true;
    bool elevated = true;            // this program runs with administrator rights
};

// A log file every line is appended to, each after a local ISO 8601 time stamp, in UTF-8.
class ILogFile {
  public:
    virtual ~ILogFile() = default;
    // Opens the folder as itself, then the file inside it relative to that handle, never
    // following a link, for appending; a missing file is made readable by Users and writable
    // by SYSTEM and Administrators only. 0 or the system's code; facts filled on 0.
    virtual std::uint32_t open(const std::wstring& path, LogFileFacts& facts) = 0;
    // Lets go of a file that was opened and then refused; nothing is written to it.
    virtual void close() = 0;
    virtual void append(const std::wstring& line) = 0;
};

} // namespace kestrave
