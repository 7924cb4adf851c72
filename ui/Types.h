#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrave::ui {

// A colour as 0x00BBGGRR, or a system colour resolved when drawn.
struct Color {
    std::uint32_t value = 0;
    bool isSystem = false;
    static constexpr Color rgb(std::uint32_t bgr) { return Color{bgr, false}; }
    static constexpr Color system(int index) {
        return Color{static_cast<std::uint32_t>(index), true};
    }
    friend bool operator==(const Color&, const Color&) = default;
};

namespace syscolor {
constexpr int kWindow = 5;
constexpr int kWindowText = 8;
constexpr int kHighlight = 13;
constexpr int kHighlightText = 14;
constexpr int kBtnFace = 15;
constexpr int kBtnText = 18;
constexpr int kHotLight = 26;
} // namespace syscolor

// What a control the program paints itself is to assistive technology (the system's own
// controls say it themselves).
enum class AccessibleRole { None, StatusText, Graphic, Link };

struct Font {
    std::wstring face;
    double points = 9;
    bool bold = false;
    bool underline = false;
    friend bool operator==(const Font&, const Font&) = default;
};

// Left, top, width, height in twips (1/1440 inch), relative to the client area.
struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const TwipRect&, const TwipRect&) = default;
};

struct TwipSize {
    int width = 0;
    int height = 0;
};

// A picture from the program file's resources; 0 is no picture.
using PictureId = int;

namespace msgbox {
constexpr int kOk = 0;
constexpr int kYesNo = 4;
constexpr int kIconError = 16;
constexpr int kIconQuestion = 32;
constexpr int kIconInformation = 64;
constexpr int kDefaultSecond = 0x100; // the second button is the default (No, for a question)
constexpr int kAnsweredYes = 6;       // what messageBox returns when Yes was chosen
} // namespace msgbox

namespace key {
constexpr int kF1 = 112;
constexpr int kEscape = 27;
// A key's name as a menu shows it beside the caption of what it chooses; empty for none.
constexpr std::wstring_view nameOf(int code) {
    return code == kF1 ? L"F1" : L"";
}
} // namespace key

} // namespace kestrave::ui
