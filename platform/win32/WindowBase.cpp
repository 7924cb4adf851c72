#include "platform/win32/WindowBase.h"

#include <stdexcept>

#include "ui/IWindowSystem.h"

namespace kestrave::win32 {

LRESULT CALLBACK WindowBase::thunk(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<WindowBase*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) {
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    }
    if (msg == WM_NCDESTROY) {
        // The last message: the object may go once the window has.
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    }
    try {
        return self->handle(msg, wp, lp);
    } catch (const std::exception& e) {
        self->errors_.reportError(e);
    } catch (...) {
        self->errors_.reportError(std::runtime_error("unknown error"));
    }
    return 0;
}

} // namespace kestrave::win32
