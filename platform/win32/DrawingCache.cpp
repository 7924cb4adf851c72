#include "platform/win32/DrawingCache.h"

#include <cwchar>

namespace kestrave::win32 {

namespace {
int CALLBACK faceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0; // one is enough
}
} // namespace

const std::wstring& DrawingCache::systemFace() {
    if (systemFace_.empty()) {
        LOGFONTW wanted{};
        wanted.lfCharSet = DEFAULT_CHARSET;
        std::wcscpy(wanted.lfFaceName, L"Segoe UI");
        WindowDc screen(nullptr);
        bool installed = false;
        ::EnumFontFamiliesExW(screen.get(), &wanted, &faceFound,
                              reinterpret_cast<LPARAM>(&installed), 0);
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        if (installed) {
            systemFace_ = L"Segoe UI";
        } else if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
            systemFace_ = metrics.lfMessageFont.lfFaceName;
        } else {
            systemFace_ = L"MS Shell Dlg 2"; // the dialogs' own alias, always there
        }
    }
    return systemFace_;
}

HFONT DrawingCache::font(const ui::Font& f, int dpi) {
    auto& slot = fonts_[{f.face, f.points, f.bold, f.underline, dpi}];
    if (!slot) {
        const std::wstring& face = f.face.empty() ? systemFace() : f.face;
        const int height = -static_cast<int>(f.points * dpi / 72.0 + 0.5);
        slot.reset(::CreateFontW(height, 0, 0, 0, f.bold ? FW_BOLD : FW_NORMAL, FALSE,
                                 f.underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
    }
    return static_cast<HFONT>(slot.get());
}

HICON DrawingCache::icon(int id, bool small) {
    auto& slot = icons_[small ? -id : id];
    if (!slot) {
        const int size = ::GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON);
        slot.reset(static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(id), IMAGE_ICON,
                                                   size, size, LR_DEFAULTCOLOR)));
    }
    return slot.get();
}

COLORREF resolve(ui::Color c) {
    return c.isSystem ? ::GetSysColor(static_cast<int>(c.value)) : c.value;
}

} // namespace kestrave::win32
