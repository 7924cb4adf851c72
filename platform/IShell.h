#pragma once
#include <cstdint>

namespace kestrave {

class IShell {
  public:
    virtual ~IShell() = default;
    virtual std::intptr_t ShellExecuteA(std::uintptr_t owner, const char* operation,
                                        const char* file, const char* parameters,
                                        const char* directory, int showCommand) = 0;
};

} // namespace kestrave
