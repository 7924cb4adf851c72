#include "platform/win32/ControlWindow.h"

#include <string>

#include "platform/SystemError.h"
#include "platform/win32/FormWindow.h"
#include "platform/win32/AccessibleControl.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32WindowSystem.h"

namespace kestrave::win32 {

ControlWindow::ControlWindow(FormWindow& form, ui::Control& control)
    : WindowBase(form.ws()), form_(form), control_(control) {}

void ControlWindow::create(HINSTANCE instance) {
    const wchar_t* cls = kLabelClass;
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (control_.visible() ? WS_VISIBLE : 0) |
                  (control_.enabled() ? 0 : WS_DISABLED);
    bool ours = true;
    switch (control_.kind()) {
    case ui::ControlKind::CommandButton:
        cls = L"BUTTON";
        style |= (control_.form().defaultButton() == &control_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) |
                 WS_TABSTOP;
        ours = false;
        break;
    case ui::ControlKind::TextBox:
        cls = L"EDIT";
        style |= static_cast<ui::TextBox&>(control_).editable()
                     ? ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP
                     : ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER |
                           WS_TABSTOP;
        ours = false;
        break;
    case ui::ControlKind::CheckBox:
        cls = L"BUTTON";
        style |= BS_AUTOCHECKBOX | WS_TABSTOP;
        ours = false;
        break;
    case ui::ControlKind::ComboBox:
        cls = L"COMBOBOX";
        style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
        ours = false;
        break;
    case ui::ControlKind::Image:
        cls = kImageClass;
        break;
    case ui::ControlKind::Label:
        if (isLink() && control_.tabIndex() >= 0) {
            style |= WS_TABSTOP; // reached with Tab, opened with Enter or Space
        }
        break;
    }
    const RECT r = windowRect();
    HWND hwnd = ::CreateWindowExW(0, cls, control_.caption().c_str(), style, r.left, r.top,
                                  r.right - r.left, r.bottom - r.top, form_.hwnd(), nullptr,
                                  instance, ours ? static_cast<WindowBase*>(this) : nullptr);
    if (hwnd == nullptr) {
        throw SystemError(::GetLastError(), "cannot create a control window");
    }
    hwnd_ = hwnd;
    control_.attachPeer(this);
    // Made where it goes and as enabled as it should be: only the font is left, without the
    // repaint a window not painted yet has no need of (each a round trip to the window server,
    // times every control, on the way to the first sight of a window).
    ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(form_.font(control_.font())), FALSE);
    if (control_.kind() == ui::ControlKind::ComboBox) {
        fillCombo();
    }
    if (control_.kind() == ui::ControlKind::CheckBox) {
        changed(ui::Prop::Checked);
    }
    if (!control_.toolTip().empty()) {
        form_.addToolTip(hwnd_, control_.toolTip());
    }
}

void ControlWindow::fillCombo() {
    auto& combo = static_cast<ui::ComboBox&>(control_);
    ::SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
    for (const auto& item : combo.items()) {
        ::SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    ::SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(combo.listIndex()), 0);
}

void ControlWindow::selectionChanged() {
    syncing_ = true;
    static_cast<ui::ComboBox&>(control_).setListIndex(
        static_cast<int>(::SendMessageW(hwnd_, CB_GETCURSEL, 0, 0)));
    syncing_ = false;
}

void ControlWindow::textChanged() {
    const int n = ::GetWindowTextLengthW(hwnd_);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(hwnd_, text.data(), n + 1)));
    syncing_ = true;
    control_.setCaption(text);
    syncing_ = false;
}

void ControlWindow::clicked() {
    if (control_.kind() == ui::ControlKind::CheckBox) {
        syncing_ = true;
        static_cast<ui::CheckBox&>(control_).setChecked(::SendMessageW(hwnd_, BM_GETCHECK, 0, 0) ==
                                                        BST_CHECKED);
        syncing_ = false;
    }
    control_.form().fire(control_.onClick);
}

RECT ControlWindow::windowRect() const {
    RECT r = form_.pixelRect(control_.bounds());
    if (control_.kind() == ui::ControlKind::ComboBox) {
        r.bottom += form_.px(1500); // room for the dropped-down list
    }
    return r;
}

void ControlWindow::rescale() {
    changed(ui::Prop::Font);
    changed(ui::Prop::Bounds);
}

void ControlWindow::changed(ui::Prop prop) {
    switch (prop) {
    case ui::Prop::Bounds: {
        RECT old;
        ::GetWindowRect(hwnd_, &old);
        ::MapWindowPoints(nullptr, form_.hwnd(), reinterpret_cast<POINT*>(&old), 2);
        const RECT r = windowRect();
        ::SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        if (control_.kind() != ui::ControlKind::CommandButton) {
            form_.invalidateArea(old);
            form_.invalidateArea(r);
        }
        break;
    }
    case ui::Prop::Caption:
        if (syncing_) {
            break; // read back from what the user typed: the window has it already
        }
        ::SetWindowTextW(hwnd_, control_.caption().c_str());
        ::InvalidateRect(hwnd_, nullptr, FALSE);
        break;
    case ui::Prop::Enabled:
        ::EnableWindow(hwnd_, control_.enabled());
        break;
    case ui::Prop::Visible:
        ::ShowWindow(hwnd_, control_.visible() ? SW_SHOWNA : SW_HIDE);
        break;
    case ui::Prop::Font:
        ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(form_.font(control_.font())),
                       TRUE);
        break;
    case ui::Prop::BackColor:
        // Anything drawn over this control shows its colour too.
        form_.invalidateArea(form_.pixelRect(control_.bounds()));
        break;
    case ui::Prop::ForeColor:
    case ui::Prop::Picture:
        ::InvalidateRect(hwnd_, nullptr, FALSE);
        break;
    case ui::Prop::Items:
        if (!syncing_) {
            fillCombo();
        }
        break;
    case ui::Prop::Checked:
        if (!syncing_) {
            ::SendMessageW(
                hwnd_, BM_SETCHECK,
                static_cast<ui::CheckBox&>(control_).checked() ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        break;
    }
}

void ControlWindow::paint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd_, &ps);
    RECT rc;
    ::GetClientRect(hwnd_, &rc);
    if (control_.kind() == ui::ControlKind::Label && control_.backOpaque()) {
        UniqueGdiObject brush(::CreateSolidBrush(resolve(control_.backColor())));
        ::FillRect(dc, &rc, static_cast<HBRUSH>(brush.get()));
    } else {
        form_.paintBehind(dc, control_);
    }
    if (control_.kind() == ui::ControlKind::Image) {
        form_.ws().pictures().draw(dc, control_.picture(), 0, 0, form_.dpi());
    } else {
        SelectObjectScope font(dc, form_.font(control_.font()));
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, resolve(control_.foreColor()));
        ::DrawTextW(
            dc, control_.caption().c_str(), static_cast<int>(control_.caption().size()), &rc,
            DT_NOPREFIX | DT_EXPANDTABS | (control_.autoSize() ? DT_SINGLELINE : DT_WORDBREAK));
        if (isLink() && ::GetFocus() == hwnd_) {
            ::DrawFocusRect(dc, &rc);
        }
    }
    ::EndPaint(hwnd_, &ps);
}

LRESULT ControlWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        paint();
        return 0;
    case WM_LBUTTONDOWN:
        ::SetCapture(hwnd_);
        return 0;
    case WM_LBUTTONUP: {
        const bool captured = ::GetCapture() == hwnd_;
        ::ReleaseCapture();
        POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        RECT rc;
        ::GetClientRect(hwnd_, &rc);
        if (captured && ::PtInRect(&rc, pt)) {
            control_.form().fire(control_.onClick);
        }
        return 0;
    }
    case WM_MOUSEMOVE:
        control_.form().fire(control_.onMouseMove);
        return 0;
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_GETOBJECT:
        return accessibleObject(wp, lp);
    case WM_DESTROY:
        releaseAccessible();
        return 0;
    case kDoDefaultAction:
        control_.form().fire(control_.onClick);
        return 0;
    case WM_GETDLGCODE: {
        // A link takes its own Enter and Space, which the dialog keys would otherwise take.
        const MSG* m = reinterpret_cast<const MSG*>(lp);
        return isLink() && m != nullptr && m->message == WM_KEYDOWN &&
                       (m->wParam == VK_RETURN || m->wParam == VK_SPACE)
                   ? DLGC_WANTMESSAGE
                   : 0;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (linkKey(msg, wp)) {
            return 0;
        }
        return ::DefWindowProcW(hwnd_, msg, wp, lp);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (isLink()) {
            ::InvalidateRect(hwnd_, nullptr, FALSE);
        }
        return 0;
    default:
        return ::DefWindowProcW(hwnd_, msg, wp, lp);
    }
}

} // namespace kestrave::win32
