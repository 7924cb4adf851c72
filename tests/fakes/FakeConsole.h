#pragma once
#include <string>
#include <vector>

#include "platform/IConsole.h"

namespace kestrave::fake {

// The command line's output and log, kept as lines.
class FakeConsole : public IConsole {
  public:
    std::vector<std::wstring> out;
    std::vector<std::wstring> err;
    void writeLine(const std::wstring& line) override { out.push_back(line); }
    void writeError(const std::wstring& line) override { err.push_back(line); }
};

// A log that opens with the facts set here (or is refused with a code), and keeps its lines.
class FakeLogFile : public ILogFile {
  public:
    std::uint32_t refuse = 0;
    LogFileFacts facts;
    std::wstring path;
    bool open_ = false;
    std::vector<std::wstring> lines;
    std::uint32_t open(const std::wstring& p, LogFileFacts& out) override {
        if (refuse != 0) {
            return refuse;
        }
        path = p;
        out = facts;
        open_ = true;
        return 0;
    }
    void close() override { open_ = false; }
    void append(const std::wstring& line) override {
        if (open_) {
            lines.push_back(line);
        }
    }
};

} // namespace kestrave::fake
