#pragma once
#include "platform/IAnsiCodePage.h"

namespace kestrave::fake {

// Stands in for the ANSI code page with UTF-8, which keeps every text.
class FakeAnsiCodePage : public IAnsiCodePage {
  public:
    std::string toAnsi(const std::wstring& text) const override {
        std::string out;
        for (wchar_t wc : text) {
            const auto c = static_cast<std::uint32_t>(wc);
            if (c < 0x80) {
                out += static_cast<char>(c);
            } else if (c < 0x800) {
                out += static_cast<char>(0xC0 | (c >> 6));
                out += static_cast<char>(0x80 | (c & 0x3F));
            } else {
                out += static_cast<char>(0xE0 | (c >> 12));
                out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (c & 0x3F));
            }
        }
        return out;
    }
    std::wstring fromAnsi(const std::string& text) const override {
        std::wstring out;
        for (std::size_t i = 0; i < text.size();) {
            const auto c = static_cast<unsigned char>(text[i]);
            if (c < 0x80) {
                out += static_cast<wchar_t>(c);
                i += 1;
            } else if ((c & 0xE0) == 0xC0 && i + 1 < text.size()) {
                out += static_cast<wchar_t>(((c & 0x1F) << 6) | (text[i + 1] & 0x3F));
                i += 2;
            } else if (i + 2 < text.size()) {
                out += static_cast<wchar_t>(((c & 0x0F) << 12) | ((text[i + 1] & 0x3F) << 6) |
                                            (text[i + 2] & 0x3F));
                i += 3;
            } else {
                out += L'?';
                i += 1;
            }
        }
        return out;
    }
};

} // namespace kestrave::fake
