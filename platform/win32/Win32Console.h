#pragma once
#include "platform/IConsole.h"
#include "platform/win32/Handles.h"

namespace kestrave::win32 {

// The program is a window program: its lines go to the console it was started from (attached
// to, written with WriteConsoleW), or to the file or pipe its output was redirected to (UTF-8,
// no byte-order mark); with neither, nowhere.
class Win32Console : public IConsole {
  public:
    Win32Console();
    void writeLine(const std::wstring& line) override { write(out_, outConsole_, line); }
    void writeError(const std::wstring& line) override { write(err_, errConsole_, line); }

  private:
    static void write(HANDLE h, bool console, const std::wstring& line);
    HANDLE out_ = nullptr;
    HANDLE err_ = nullptr;
    bool outConsole_ = false;
    bool errConsole_ = false;
};

// Appends UTF-8 lines after a local ISO 8601 time stamp (2026-12-07T15:26:01+01:00).
// The file is opened relative to its folder's handle, both as themselves, and judged by what
// the handles say (see cli/LogFileCheck).
class Win32LogFile : public ILogFile {
  public:
    std::uint32_t open(const std::wstring& path, LogFileFacts& facts) override;
    void close() override { file_.reset(); }
    void append(const std::wstring& line) override;

  private:
    UniqueKernelHandle file_;
};

// The text as UTF-8.
std::string toUtf8(const std::wstring& text);

} // namespace kestrave::win32
