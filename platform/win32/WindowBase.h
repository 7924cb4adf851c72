#pragma once
#include "platform/win32/Win32Api.h"

namespace kestrave::ui {
class IWindowSystem;
}

namespace kestrave::win32 {

// A window of ours whose messages go to an object. Every window class the program registers
// uses the one thunk below: it binds the object passed at creation to the window, routes each
// message to handle(), and lets no exception unwind into user32 (the program's error
// treatment gets it instead). The binding ends at WM_NCDESTROY, so the object must outlive
// its window: destroy the window first, then the object.
class WindowBase {
  public:
    explicit WindowBase(ui::IWindowSystem& errors) : errors_(errors) {}
    virtual ~WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    HWND hwnd() const { return hwnd_; }
    static LRESULT CALLBACK thunk(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  protected:
    virtual LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) = 0;
    HWND hwnd_ = nullptr;

  private:
    ui::IWindowSystem& errors_;
};

} // namespace kestrave::win32
