#pragma once
#include <string>
#include <vector>

#include "platform/IShell.h"

namespace kestrave::fake {

class FakeShell : public IShell {
  public:
    std::uint32_t result = 0;
    std::vector<std::wstring> opened;
    std::uint32_t openUrl(const std::wstring& url) override {
        opened.push_back(url);
        return result;
    }
};

} // namespace kestrave::fake
