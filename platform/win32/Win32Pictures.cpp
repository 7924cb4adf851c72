#include "platform/win32/Win32Pictures.h"

#include "platform/win32/Win32Api.h"

#include <algorithm>
#include <objidl.h>
namespace Gdiplus {
using std::max;
using std::min;
} // namespace Gdiplus
#include <gdiplus.h>

#include "platform/win32/Handles.h"
#include "resources/ResourceIds.h"

namespace kestrave::win32 {

struct Pictures::Image {
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
};

// GDI+ starts with the first picture, not with the program: the window shows sooner.
Pictures::Pictures() = default;

Pictures::~Pictures() {
    images_.clear();
    if (token_ != 0) {
        Gdiplus::GdiplusShutdown(token_);
    }
}

Pictures::Image* Pictures::get(int id) {
    const auto found = images_.find(id);
    if (found != images_.end()) {
        return found->second.get();
    }
    if (token_ == 0) {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token_, &input, nullptr);
    }
    auto image = std::make_unique<Image>();
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC res = ::FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
    const HGLOBAL loaded = res ? ::LoadResource(module, res) : nullptr;
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    const DWORD size = res ? ::SizeofResource(module, res) : 0;
    if (bytes != nullptr && size != 0) {
        // GDI+ reads from a stream; the stream owns its own copy of the bytes.
        HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, size);
        if (copy != nullptr) {
            void* dst = ::GlobalLock(copy);
            std::copy_n(static_cast<const BYTE*>(bytes), size, static_cast<BYTE*>(dst));
            ::GlobalUnlock(copy);
            IStream* stream = nullptr;
            if (SUCCEEDED(::CreateStreamOnHGlobal(copy, TRUE, &stream))) {
                std::unique_ptr<Gdiplus::Bitmap> decoded(Gdiplus::Bitmap::FromStream(stream));
                stream->Release();
                // Drawn from 32-bit premultiplied pixels, GIF transparency comes out right
                // everywhere (and faster) than from the palette image.
                if (decoded && decoded->GetLastStatus() == Gdiplus::Ok) {
                    const auto w = static_cast<INT>(decoded->GetWidth());
                    const auto h = static_cast<INT>(decoded->GetHeight());
                    image->bitmap = std::make_unique<Gdiplus::Bitmap>(w, h, PixelFormat32bppPARGB);
                    Gdiplus::Graphics g(image->bitmap.get());
                    g.DrawImage(decoded.get(), 0, 0, w, h);
                }
            } else {
                ::GlobalFree(copy);
            }
        }
    }
    return images_.emplace(id, std::move(image)).first->second.get();
}

void Pictures::draw(HDC dc, int id, int x, int y, int dpi) {
    Image* image = id != 0 ? get(id) : nullptr;
    if (image == nullptr || !image->bitmap) {
        return;
    }
    const auto width =
        static_cast<INT>(::MulDiv(static_cast<int>(image->bitmap->GetWidth()), dpi, 96));
    const auto height =
        static_cast<INT>(::MulDiv(static_cast<int>(image->bitmap->GetHeight()), dpi, 96));
    if (dpi > 96) {
        Image* larger = get(id + PICTURE_2X_OFFSET);
        if (larger != nullptr && larger->bitmap) {
            image = larger;
        }
    }
    Gdiplus::Graphics graphics(dc);
    if (static_cast<INT>(image->bitmap->GetWidth()) != width) {
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
    }
    graphics.DrawImage(image->bitmap.get(), x, y, width, height);
}

} // namespace kestrave::win32
