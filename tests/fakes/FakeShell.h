#pragma once
#include <string>
#include <vector>

#include "platform/IShell.h"

namespace kestrave::fake {

class FakeShell : public IShell {
  public:
    std::intptr_t result = 42;
    std::vector<std::string> opened; // "operation|file"
    std::intptr_t ShellExecuteA(std::uintptr_t, const char* operation, const char* file,
                                const char*, const char*, int) override {
        opened.push_back(std::string(operation ? operation : "") + "|" + (file ? file : ""));
        return result;
    }
};

} // namespace kestrave::fake
