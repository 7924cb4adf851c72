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

class FakeLogFile : public ILogFile {
  public:
    std::uint32_t refuse = 0;
    std::wstring path;
    std::vector<std::wstring> lines;
    std::uint32_t open(const std::wstring& p) override {
        if (refuse != 0) {
            return refuse;
        }
        path = p;
        return 0;
    }
    void append(const std::wstring& line) override { lines.push_back(line); }
};

} // namespace kestrave::fake
