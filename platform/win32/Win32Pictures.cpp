#include "platform/win32/Win32Pictures.h"

#include "platform/win32/StartupTimeline.h"

#include <algorithm>
#include <objidl.h>
namespace Gdiplus {
using std::max;
using std::min;
} // namespace Gdiplus
// Only for the flat API's declarations: every function is taken from the library at run time.
#include <gdiplus.h>

#include "platform/win32/ComFunctions.h"
#include "resources/ResourceIds.h"

namespace kestrave::win32 {

namespace flat = Gdiplus::DllExports;

// The flat GDI+ functions the pictures need, with the SDK's own signatures.
struct Pictures::Api {
    decltype(&Gdiplus::GdiplusStartup) startup = nullptr;
    decltype(&Gdiplus::GdiplusShutdown) shutdown = nullptr;
    decltype(&flat::GdipCreateBitmapFromStream) fromStream = nullptr;
    decltype(&flat::GdipCreateBitmapFromScan0) fromScan0 = nullptr;
    decltype(&flat::GdipGetImageWidth) width = nullptr;
    decltype(&flat::GdipGetImageHeight) height = nullptr;
    decltype(&flat::GdipGetImageGraphicsContext) imageGraphics = nullptr;
    decltype(&flat::GdipCreateFromHDC) dcGraphics = nullptr;
    decltype(&flat::GdipSetInterpolationMode) interpolation = nullptr;
    decltype(&flat::GdipSetPixelOffsetMode) pixelOffset = nullptr;
    decltype(&flat::GdipDrawImageRectI) drawRect = nullptr;
    decltype(&flat::GdipDeleteGraphics) deleteGraphics = nullptr;
    decltype(&flat::GdipDisposeImage) dispose = nullptr;

    bool load(SystemLibrary& lib) {
        startup = lib.get<decltype(startup)>("GdiplusStartup");
        shutdown = lib.get<decltype(shutdown)>("GdiplusShutdown");
        fromStream = lib.get<decltype(fromStream)>("GdipCreateBitmapFromStream");
        fromScan0 = lib.get<decltype(fromScan0)>("GdipCreateBitmapFromScan0");
        width = lib.get<decltype(width)>("GdipGetImageWidth");
        height = lib.get<decltype(height)>("GdipGetImageHeight");
        imageGraphics = lib.get<decltype(imageGraphics)>("GdipGetImageGraphicsContext");
        dcGraphics = lib.get<decltype(dcGraphics)>("GdipCreateFromHDC");
        interpolation = lib.get<decltype(interpolation)>("GdipSetInterpolationMode");
        pixelOffset = lib.get<decltype(pixelOffset)>("GdipSetPixelOffsetMode");
        drawRect = lib.get<decltype(drawRect)>("GdipDrawImageRectI");
        deleteGraphics = lib.get<decltype(deleteGraphics)>("GdipDeleteGraphics");
        dispose = lib.get<decltype(dispose)>("GdipDisposeImage");
        return startup && shutdown && fromStream && fromScan0 && width && height && imageGraphics &&
               dcGraphics && interpolation && pixelOffset && drawRect && deleteGraphics && dispose;
    }
};

// One decoded picture, as 32-bit premultiplied pixels: GIF transparency then comes out right
// everywhere (and faster) than from the palette image.
struct Pictures::Image {
    const Api* api = nullptr;
    Gdiplus::GpBitmap* bitmap = nullptr;
    UINT width = 0;
    UINT height = 0;
    ~Image() {
        if (bitmap != nullptr) {
            api->dispose(bitmap);
        }
    }
};

// GDI+ starts with the first picture, not with the program: the window shows sooner.
Pictures::Pictures() = default;

Pictures::~Pictures() {
    images_.clear();
    if (token_ != 0) {
        api_->shutdown(token_);
    }
}

bool Pictures::start() {
    if (!tried_) {
        tried_ = true;
        auto api = std::make_unique<Api>();
        Gdiplus::GdiplusStartupInput input;
        if (api->load(library_) && api->startup(&token_, &input, nullptr) == Gdiplus::Ok) {
            api_ = std::move(api);
        } else {
            token_ = 0;
        }
    }
    return api_ != nullptr;
}

namespace {
// The resource's bytes as a stream GDI+ can read; the stream owns its own copy.
IStream* resourceStream(int id) {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC res = ::FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
    const HGLOBAL loaded = res ? ::LoadResource(module, res) : nullptr;
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    const DWORD size = res ? ::SizeofResource(module, res) : 0;
    if (bytes == nullptr || size == 0) {
        return nullptr;
    }
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (copy == nullptr) {
        return nullptr;
    }
    std::copy_n(static_cast<const BYTE*>(bytes), size, static_cast<BYTE*>(::GlobalLock(copy)));
    ::GlobalUnlock(copy);
    IStream* stream = nullptr;
    if (FAILED(com::streamOnHGlobal(copy, TRUE, &stream))) {
        ::GlobalFree(copy);
        return nullptr;
    }
    return stream;
}
} // namespace

Pictures::Image* Pictures::get(int id) {
    const auto found = images_.find(id);
    if (found != images_.end()) {
        return found->second.get();
    }
    auto image = std::make_unique<Image>();
    image->api = api_.get();
    if (IStream* stream = resourceStream(id)) {
        Gdiplus::GpBitmap* decoded = nullptr;
        if (api_->fromStream(stream, &decoded) == Gdiplus::Ok) {
            api_->width(decoded, &image->width);
            api_->height(decoded, &image->height);
            Gdiplus::GpGraphics* g = nullptr;
            if (api_->fromScan0(static_cast<INT>(image->width), static_cast<INT>(image->height), 0,
                                PixelFormat32bppPARGB, nullptr, &image->bitmap) == Gdiplus::Ok &&
                api_->imageGraphics(image->bitmap, &g) == Gdiplus::Ok) {
                api_->drawRect(g, decoded, 0, 0, static_cast<INT>(image->width),
                               static_cast<INT>(image->height));
                api_->deleteGraphics(g);
            }
            api_->dispose(decoded);
        }
        stream->Release();
    }
    return images_.emplace(id, std::move(image)).first->second.get();
}

void Pictures::draw(HDC dc, int id, int x, int y, int dpi) {
    if (id == 0 || !start()) {
        return;
    }
    Image* image = get(id);
    if (image->bitmap == nullptr) {
        return;
    }
    const int width = ::MulDiv(static_cast<int>(image->width), dpi, 96);
    const int height = ::MulDiv(static_cast<int>(image->height), dpi, 96);
    if (dpi > 96) {
        Image* larger = get(id + PICTURE_2X_OFFSET);
        if (larger->bitmap != nullptr) {
            image = larger;
        }
    }
    Gdiplus::GpGraphics* g = nullptr;
    if (api_->dcGraphics(dc, &g) != Gdiplus::Ok) {
        return;
    }
    if (static_cast<int>(image->width) != width) {
        api_->interpolation(g, Gdiplus::InterpolationModeHighQualityBicubic);
        api_->pixelOffset(g, Gdiplus::PixelOffsetModeHighQuality);
    }
    api_->drawRect(g, image->bitmap, x, y, width, height);
    api_->deleteGraphics(g);
    startup::mark(startup::kPictureDrawn);
}

} // namespace kestrave::win32
