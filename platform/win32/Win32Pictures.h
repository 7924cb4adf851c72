#pragma once
#include <map>
#include <memory>

#include "platform/win32/SystemLibrary.h"
#include "platform/win32/Win32Api.h"

namespace kestrave::win32 {

// The program's pictures (GIF and BMP files among its resources), decoded once by GDI+, which
// is loaded from System32 when the first picture is drawn (it is not a KnownDLL everywhere,
// so it is never looked for beside the program).
class Pictures {
  public:
    Pictures();
    ~Pictures();
    Pictures(const Pictures&) = delete;
    Pictures& operator=(const Pictures&) = delete;

    // Draws the picture at its size for the given dots per inch (its natural pixel size at
    // 96), from its double-size version above 96 where the program has one, so it stays
    // sharp. Does nothing for an unknown id or without GDI+.
    void draw(HDC dc, int id, int x, int y, int dpi);

  private:
    struct Api;
    struct Image;
    Image* get(int id);
    bool start();

    SystemLibrary library_{L"gdiplus.dll"};
    std::unique_ptr<Api> api_;
    ULONG_PTR token_ = 0;
    bool tried_ = false;
    std::map<int, std::unique_ptr<Image>> images_;
};

} // namespace kestrave::win32
