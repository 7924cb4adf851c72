#include "platform/win32/FormWindow.h"

#include <commctrl.h>

#include "platform/win32/Handles.h"
#include "platform/win32/SingleInstance.h"
#include "platform/win32/Win32WindowSystem.h"

namespace kestrave::win32 {

namespace {
void fill(HDC dc, const RECT& rc, COLORREF color) {
    UniqueGdiObject brush(::CreateSolidBrush(color));
    ::FillRect(dc, &rc, static_cast<HBRUSH>(brush.get()));
}
} // namespace

FormWindow::FormWindow(Win32WindowSystem& ws, ui::Form& form)
    : WindowBase(ws), ws_(ws), form_(form), dpi_(ws.dpi()) {}

FormWindow::~FormWindow() {
    timers_.clear();
    form_.attachPeer(nullptr);
    if (hwnd_ != nullptr) {
        // The windows go before the objects their procedures read: the children get their
        // last messages while their control objects still exist, and WM_DESTROY ends the
        // program for the main form.
        ::DestroyWindow(hwnd_);
    }
    controls_.clear();
}

RECT FormWindow::pixelRect(const ui::TwipRect& r) const {
    return RECT{px(r.left), px(r.top), px(r.left + r.width), px(r.top + r.height)};
}

HFONT FormWindow::font(const ui::Font& f) {
    return ws_.drawing().font(f, dpi_);
}

HWND FormWindow::hwndOf(const ui::Control& c) const {
    for (const auto& cw : controls_) {
        if (&cw->control() == &c) {
            return cw->hwnd();
        }
    }
    return nullptr;
}

namespace {
// Sets the form's icons, posted while the window is not shown yet.
constexpr UINT kSetIcons = WM_APP + 1;
} // namespace

void FormWindow::changed() {
    ::SetWindowTextW(hwnd_, form_.caption().c_str());
    // Handing the icons over is a fifth of making a window under Wine and nothing the first
    // sight of it needs: a window not shown yet gets them once its loop runs, before it paints.
    if (::IsWindowVisible(hwnd_)) {
        setIcons();
    } else {
        ::PostMessageW(hwnd_, kSetIcons, 0, 0);
    }
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void FormWindow::setIcons() {
    const int icon = form_.icon();
    ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG,
                   reinterpret_cast<LPARAM>(icon ? ws_.drawing().icon(icon, false) : nullptr));
    ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL,
                   reinterpret_cast<LPARAM>(icon ? ws_.drawing().icon(icon, true) : nullptr));
}

void FormWindow::paintBehind(HDC dc, const ui::Control& self) {
    RECT own = pixelRect(self.bounds());
    RECT all{0, 0, own.right - own.left, own.bottom - own.top};
    fill(dc, all, resolve(form_.backColor()));
    for (ui::Control* other : form_.controls()) {
        if (other == &self) {
            break;
        }
        if (other->kind() != ui::ControlKind::Label || !other->backOpaque() || !other->visible()) {
            continue;
        }
        RECT r = pixelRect(other->bounds());
        RECT hit{};
        if (::IntersectRect(&hit, &r, &own)) {
            ::OffsetRect(&hit, -own.left, -own.top);
            fill(dc, hit, resolve(other->backColor()));
        }
    }
}

void FormWindow::invalidateArea(const RECT& r) {
    ::RedrawWindow(hwnd_, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void FormWindow::addToolTip(HWND control, const std::wstring& text) {
    if (tooltip_ == nullptr) {
        tooltip_ =
            ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                              WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, nullptr, nullptr);
    }
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = hwnd_;
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = const_cast<wchar_t*>(text.c_str());
    ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void FormWindow::comeForward() {
    // A second start asked: the window (or the modal one it waits on) to the front.
    if (::IsIconic(hwnd_)) {
        ::ShowWindow(hwnd_, SW_RESTORE);
    }
    HWND front = ::GetLastActivePopup(hwnd_);
    ::SetForegroundWindow(front != nullptr ? front : hwnd_);
}

void FormWindow::dpiChanged(int dpi, const RECT& suggested) {
    // Only real Windows sends this (a monitor of another scale): lay out again at the new
    // resolution and take the size the system suggests.
    dpi_ = dpi;
    ::SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    for (auto& cw : controls_) {
        cw->rescale();
    }
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

namespace {
bool isReadOnlyEdit(HWND h) {
    wchar_t name[16] = {};
    ::GetClassNameW(h, name, 16);
    return _wcsicmp(name, L"Edit") == 0 && (::GetWindowLongW(h, GWL_STYLE) & ES_READONLY) != 0;
}
} // namespace

BOOL CALLBACK FormWindow::tellSysColorChange(HWND child, LPARAM) {
    ::SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

bool FormWindow::pressed(ui::Control* button) {
    if (button == nullptr || !button->enabled() || !button->visible()) {
        return false;
    }
    form_.fire(button->onClick);
    return true;
}

void FormWindow::themeChanged() {
    form_.themeChanged();
    ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT FormWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND: {
        RECT rc;
        ::GetClientRect(hwnd_, &rc);
        fill(reinterpret_cast<HDC>(wp), rc, resolve(form_.backColor()));
        return 1;
    }
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC: {
        const auto dc = reinterpret_cast<HDC>(wp);
        if (msg == WM_CTLCOLORSTATIC && isReadOnlyEdit(reinterpret_cast<HWND>(lp))) {
            // A read-only text keeps the white of a text field, behind its lines as around.
            ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
        }
        ::SetDCBrushColor(dc, resolve(form_.backColor()));
        return reinterpret_cast<LRESULT>(::GetStockObject(DC_BRUSH));
    }
    case WM_COMMAND:
        // Esc, turned into Cancel by the dialog keys: a close request, as the frame's X is.
        if (LOWORD(wp) == IDCANCEL && lp == 0) {
            if (pressed(form_.cancelButton())) {
                return 0;
            }
            if (form_.closesOnEscape()) {
                ::SendMessageW(hwnd_, WM_CLOSE, 0, 0);
            }
            return 0;
        }
        // Enter, turned into OK by the dialog keys where no button has the focus.
        if (LOWORD(wp) == IDOK && lp == 0) {
            pressed(form_.defaultButton());
            return 0;
        }
        command(wp, lp);
        return 0;
    case WM_TIMER: {
        const auto& timers = form_.timers();
        if (wp >= 1 && wp <= timers.size()) {
            timers[wp - 1]->tick();
        }
        return 0;
    }
    case WM_DPICHANGED:
        dpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
        return 0;
    case WM_SYSCOLORCHANGE:
        // Sent to top-level windows alone: the system's controls inside hear it from here.
        ::EnumChildWindows(hwnd_, tellSysColorChange, 0);
        themeChanged();
        return 0;
    case WM_SETTINGCHANGE:
    case WM_THEMECHANGED:
        // High contrast switched on or off arrives as a setting change; a visual style as a
        // theme change: either way every colour is picked again and painted at once.
        themeChanged();
        return ::DefWindowProcW(hwnd_, msg, wp, lp);
    case kSetIcons:
        setIcons();
        return 0;
    case WM_CLOSE:
        // A window waiting on a modal one stays until that one is closed.
        if (::IsWindowEnabled(hwnd_) && form_.closeRequested()) {
            ws_.unload(form_);
        }
        return 0;
    case WM_DESTROY:
        if (!modal && owner_ == nullptr) {
            ::PostQuitMessage(0);
        }
        return 0;
    default:
        if (msg == activationMessage() && !modal && owner_ == nullptr) {
            comeForward();
            return kCameForward;
        }
        break;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

} // namespace kestrave::win32
