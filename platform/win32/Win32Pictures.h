#pragma once
#include <map>
#include <memory>

#include "platform/win32/Win32Api.h"

namespace kestrave::win32 {

// The program's pictures (GIF and BMP files among its resources), decoded once by GDI+.
class Pictures {
  public:
    Pictures();
    ~Pictures();
    Pictures(const Pictures&) = delete;
    Pictures& operator=(const Pictures&) = delete;

    // Draws the picture at its natural pixel size; does nothing for an unknown id.
    void draw(HDC dc, int id, int x, int y);

  private:
    struct Image;
    Image* get(int id);
    ULONG_PTR token_ = 0;
    std::map<int, std::unique_ptr<Image>> images_;
};

} // namespace kestrave::win32
