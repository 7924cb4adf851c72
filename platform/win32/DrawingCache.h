#pragma once
#include <map>
#include <string>
#include <tuple>

#include "platform/win32/Handles.h"
#include "ui/Types.h"

namespace kestrave::win32 {

// Fonts and icons, made once per size and kept for the program's life, so that repainting
// allocates nothing.
class DrawingCache {
  public:
    explicit DrawingCache(HINSTANCE instance) : instance_(instance) {}

    // The font at the given dots per inch; an empty face is the system's own (systemFace).
    HFONT font(const ui::Font& f, int dpi);
    // "Segoe UI" where it is installed, else the face the system sets its messages in.
    const std::wstring& systemFace();
    // The program's icon resource at the system's large or small icon size.
    HICON icon(int id, bool small);

  private:
    HINSTANCE instance_;
    std::map<std::tuple<std::wstring, double, bool, bool, int>, UniqueGdiObject> fonts_;
    std::map<int, UniqueIcon> icons_;
    std::wstring systemFace_;
};

// A colour as GDI draws it: system colours resolved now.
COLORREF resolve(ui::Color c);

} // namespace kestrave::win32
