#include "platform/win32/Win32WindowSystem.h"

#include <commctrl.h>
#include <vector>

#include "platform/SystemError.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/SystemMessage.h"
#include "platform/win32/Win32Registry.h"
#include "ui/Control.h"
#include "ui/Menu.h"
#include "ui/Timer.h"

namespace kestrave::win32 {

namespace {
constexpr wchar_t kFormClass[] = L"KestraveForm";
constexpr wchar_t kLabelClass[] = L"KestraveLabel";
constexpr wchar_t kImageClass[] = L"KestraveImage";
constexpr UINT kMenuIdBase = 1000;

void fill(HDC dc, const RECT& rc, COLORREF color) {
    UniqueGdiObject brush(::CreateSolidBrush(color));
    ::FillRect(dc, &rc, static_cast<HBRUSH>(brush.get()));
}
} // namespace

class FormWindow;

// One control's child window; applies every property the program sets.
class ControlWindow : public ui::ControlPeer {
  public:
    ControlWindow(FormWindow& form, ui::Control& control, HWND hwnd)
        : form_(form), control_(control), hwnd_(hwnd) {}
    ~ControlWindow() override { control_.attachPeer(nullptr); }
    void changed(ui::Prop prop) override;
    HWND hwnd() const { return hwnd_; }
    ui::Control& control() { return control_; }
    void fillCombo();
    bool syncing = false;

  private:
    FormWindow& form_;
    ui::Control& control_;
    HWND hwnd_;
};

class TimerBinding : public ui::TimerPeer {
  public:
    TimerBinding(HWND hwnd, ui::Timer& timer, UINT_PTR id) : hwnd_(hwnd), timer_(timer), id_(id) {
        timer_.attachPeer(this);
        changed();
    }
    ~TimerBinding() override {
        ::KillTimer(hwnd_, id_);
        timer_.attachPeer(nullptr);
    }
    void changed() override {
        if (timer_.enabled() && timer_.interval() > 0) {
            ::SetTimer(hwnd_, id_, static_cast<UINT>(timer_.interval()), nullptr);
        } else {
            ::KillTimer(hwnd_, id_);
        }
    }

  private:
    HWND hwnd_;
    ui::Timer& timer_;
    UINT_PTR id_;
};

// A form's top-level window and everything on it.
class FormWindow : public ui::FormPeer {
  public:
    FormWindow(Win32WindowSystem& ws, ui::Form& form) : ws_(ws), form_(form) {}
    ~FormWindow() override {
        timers_.clear();
        controls_.clear();
        form_.attachPeer(nullptr);
        if (hwnd_ != nullptr) {
            // Destroyed while still attached, so WM_DESTROY ends the program for the main form.
            ::DestroyWindow(hwnd_);
            ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        }
    }

    void create(HINSTANCE instance, HWND owner);
    void changed() override {
        ::SetWindowTextW(hwnd_, form_.caption().c_str());
        const int icon = form_.icon();
        ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG,
                       reinterpret_cast<LPARAM>(icon ? ws_.icon(icon, false) : nullptr));
        ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL,
                       reinterpret_cast<LPARAM>(icon ? ws_.icon(icon, true) : nullptr));
        ::InvalidateRect(hwnd_, nullptr, TRUE);
    }
    HWND hwnd() const { return hwnd_; }
    HWND owner = nullptr;
    bool modal = false;
    Win32WindowSystem& ws() { return ws_; }
    ui::Form& form() { return form_; }

    HWND hwndOf(const ui::Control& c) const {
        for (const auto& cw : controls_) {
            if (&cw->control() == &c) {
                return cw->hwnd();
            }
        }
        return nullptr;
    }
    RECT pixelRect(const ui::TwipRect& r) const {
        return RECT{ws_.px(r.left), ws_.px(r.top), ws_.px(r.left + r.width),
                    ws_.px(r.top + r.height)};
    }
    // What a see-through control shows behind itself: the form, and opaque labels below it.
    void paintBehind(HDC dc, const ui::Control& self) {
        RECT own = pixelRect(self.bounds());
        RECT all{0, 0, own.right - own.left, own.bottom - own.top};
        fill(dc, all, Win32WindowSystem::resolve(form_.backColor()));
        for (ui::Control* other : form_.controls()) {
            if (other == &self) {
                break;
            }
            if (other->kind() != ui::ControlKind::Label || !other->backOpaque() ||
                !other->visible()) {
                continue;
            }
            RECT r = pixelRect(other->bounds());
            RECT hit{};
            if (::IntersectRect(&hit, &r, &own)) {
                ::OffsetRect(&hit, -own.left, -own.top);
                fill(dc, hit, Win32WindowSystem::resolve(other->backColor()));
            }
        }
    }
    void invalidateArea(const RECT& r) {
        ::RedrawWindow(hwnd_, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    void addToolTip(HWND control, const std::wstring& text);

    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  private:
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
    ControlWindow* byHwnd(HWND h) {
        for (auto& cw : controls_) {
            if (cw->hwnd() == h) {
                return cw.get();
            }
        }
        return nullptr;
    }

    Win32WindowSystem& ws_;
    ui::Form& form_;
    HWND hwnd_ = nullptr;
    HWND tooltip_ = nullptr;
    std::vector<std::unique_ptr<ControlWindow>> controls_;
    std::vector<std::unique_ptr<TimerBinding>> timers_;
};

namespace {
// Nothing may unwind into user32: whatever a window procedure throws is reported here.
template <typename Fn> LRESULT guarded(Win32WindowSystem& ws, Fn&& handle) {
    try {
        return handle();
    } catch (const std::exception& e) {
        ws.reportError(e);
    } catch (...) {
        ws.reportError(std::runtime_error("unknown error"));
    }
    return 0;
}

LRESULT handleControl(ControlWindow& cw, FormWindow& fw, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Labels and images paint themselves; the form tells them what they are.
LRESULT CALLBACK controlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* cw = reinterpret_cast<ControlWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (cw == nullptr) {
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    }
    FormWindow& fw =
        *reinterpret_cast<FormWindow*>(::GetWindowLongPtrW(::GetParent(hwnd), GWLP_USERDATA));
    return guarded(fw.ws(), [&] { return handleControl(*cw, fw, hwnd, msg, wp, lp); });
}

LRESULT handleControl(ControlWindow& cw, FormWindow& fw, HWND hwnd, UINT msg, WPARAM wp,
                      LPARAM lp) {
    ui::Control& c = cw.control();
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        RECT rc;
        ::GetClientRect(hwnd, &rc);
        if (c.kind() == ui::ControlKind::Label && c.backOpaque()) {
            fill(dc, rc, Win32WindowSystem::resolve(c.backColor()));
        } else {
            fw.paintBehind(dc, c);
        }
        if (c.kind() == ui::ControlKind::Image) {
            fw.ws().pictures().draw(dc, c.picture(), 0, 0);
        } else {
            SelectObjectScope font(dc, fw.ws().font(c.font()));
            ::SetBkMode(dc, TRANSPARENT);
            ::SetTextColor(dc, Win32WindowSystem::resolve(c.foreColor()));
            ::DrawTextW(dc, c.caption().c_str(), static_cast<int>(c.caption().size()), &rc,
                        DT_NOPREFIX | DT_EXPANDTABS |
                            (c.autoSize() ? DT_SINGLELINE : DT_WORDBREAK));
        }
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_LBUTTONDOWN:
        ::SetCapture(hwnd);
        return 0;
    case WM_LBUTTONUP: {
        const bool captured = ::GetCapture() == hwnd;
        ::ReleaseCapture();
        POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        RECT rc;
        ::GetClientRect(hwnd, &rc);
        if (captured && ::PtInRect(&rc, pt)) {
            c.form().fire(c.onClick);
        }
        return 0;
    }
    case WM_MOUSEMOVE:
        c.form().fire(c.onMouseMove);
        return 0;
    case WM_NCHITTEST:
        return HTCLIENT;
    default:
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    }
}
} // namespace

void ControlWindow::fillCombo() {
    auto& combo = static_cast<ui::ComboBox&>(control_);
    ::SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
    for (const auto& item : combo.items()) {
        ::SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    ::SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(combo.listIndex()), 0);
}

void ControlWindow::changed(ui::Prop prop) {
    switch (prop) {
    case ui::Prop::Bounds: {
        RECT old;
        ::GetWindowRect(hwnd_, &old);
        ::MapWindowPoints(nullptr, form_.hwnd(), reinterpret_cast<POINT*>(&old), 2);
        const RECT r = form_.pixelRect(control_.bounds());
        int height = r.bottom - r.top;
        if (control_.kind() == ui::ControlKind::ComboBox) {
            height += form_.ws().px(1500); // room for the dropped-down list
        }
        ::SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        if (control_.kind() != ui::ControlKind::CommandButton) {
            form_.invalidateArea(old);
            form_.invalidateArea(r);
        }
        break;
    }
    case ui::Prop::Caption:
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
        ::SendMessageW(hwnd_, WM_SETFONT,
                       reinterpret_cast<WPARAM>(form_.ws().font(control_.font())), TRUE);
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
        if (!syncing) {
            fillCombo();
        }
        break;
    }
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

void FormWindow::create(HINSTANCE instance, HWND ownerWindow) {
    owner = ownerWindow;
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN |
                        (ownerWindow == nullptr ? WS_MINIMIZEBOX : 0);
    const DWORD exStyle = WS_EX_CONTROLPARENT | (ownerWindow ? WS_EX_DLGMODALFRAME : 0);
    RECT rc{0, 0, ws_.px(form_.clientSize().width), ws_.px(form_.clientSize().height)};
    ::AdjustWindowRectEx(&rc, style, FALSE, exStyle);
    const int w = rc.right - rc.left;
    const int h = rc.bottom - rc.top;
    RECT area{};
    if (ownerWindow != nullptr && form_.startPosition() == ui::StartPosition::CenterOwner) {
        ::GetWindowRect(ownerWindow, &area);
    } else {
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    const int x = std::max(0L, area.left + (area.right - area.left - w) / 2);
    const int y = std::max(0L, area.top + (area.bottom - area.top - h) / 2);
    hwnd_ = ::CreateWindowExW(exStyle, kFormClass, form_.caption().c_str(), style, x, y, w, h,
                              ownerWindow, nullptr, instance, this);
    if (hwnd_ == nullptr) {
        throw SystemError(::GetLastError(), "cannot create the window");
    }
    form_.attachPeer(this);
    changed();

    for (ui::Control* c : form_.controls()) {
        const wchar_t* cls = kLabelClass;
        DWORD cs = WS_CHILD | WS_CLIPSIBLINGS;
        switch (c->kind()) {
        case ui::ControlKind::Label:
            break;
        case ui::ControlKind::Image:
            cls = kImageClass;
            break;
        case ui::ControlKind::CommandButton:
            cls = L"BUTTON";
            cs |= WS_TABSTOP | BS_PUSHBUTTON;
            break;
        case ui::ControlKind::ComboBox:
            cls = L"COMBOBOX";
            cs |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
            break;
        }
        const RECT r = pixelRect(c->bounds());
        HWND child =
            ::CreateWindowExW(0, cls, c->caption().c_str(), cs, r.left, r.top, r.right - r.left,
                              r.bottom - r.top, hwnd_, nullptr, instance, nullptr);
        if (child == nullptr) {
            throw SystemError(::GetLastError(), "cannot create a control");
        }
        controls_.push_back(std::make_unique<ControlWindow>(*this, *c, child));
        ControlWindow& cw = *controls_.back();
        if (c->kind() == ui::ControlKind::Label || c->kind() == ui::ControlKind::Image) {
            ::SetWindowLongPtrW(child, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&cw));
        }
        c->attachPeer(&cw);
        for (ui::Prop p : {ui::Prop::Font, ui::Prop::Bounds, ui::Prop::Enabled, ui::Prop::Items}) {
            if (p != ui::Prop::Items || c->kind() == ui::ControlKind::ComboBox) {
                cw.changed(p);
            }
        }
        if (c->visible()) {
            ::ShowWindow(child, SW_SHOWNA);
        }
        if (!c->toolTip().empty()) {
            addToolTip(child, c->toolTip());
        }
    }
    // Z-order: controls that take the focus first, by tab index (so Tab walks them in that
    // order), then the rest with later ones on top of earlier ones.
    std::vector<ControlWindow*> order;
    for (auto& cw : controls_) {
        if (cw->control().tabIndex() >= 0) {
            order.push_back(cw.get());
        }
    }
    std::stable_sort(order.begin(), order.end(), [](ControlWindow* a, ControlWindow* b) {
        return a->control().tabIndex() < b->control().tabIndex();
    });
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        if ((*it)->control().tabIndex() < 0) {
            order.push_back(it->get());
        }
    }
    for (ControlWindow* cw : order) {
        ::SetWindowPos(cw->hwnd(), HWND_BOTTOM, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    UINT_PTR id = 1;
    for (ui::Timer* t : form_.timers()) {
        timers_.push_back(std::make_unique<TimerBinding>(hwnd_, *t, id++));
    }
}

LRESULT CALLBACK FormWindow::proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        auto* self = static_cast<FormWindow*>(cs->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<FormWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) {
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    }
    return guarded(self->ws_, [&] { return self->handle(msg, wp, lp); });
}

LRESULT FormWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND: {
        RECT rc;
        ::GetClientRect(hwnd_, &rc);
        fill(reinterpret_cast<HDC>(wp), rc, Win32WindowSystem::resolve(form_.backColor()));
        return 1;
    }
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        ::SetDCBrushColor(reinterpret_cast<HDC>(wp), Win32WindowSystem::resolve(form_.backColor()));
        return reinterpret_cast<LRESULT>(::GetStockObject(DC_BRUSH));
    case WM_COMMAND: {
        const auto lparamHwnd = reinterpret_cast<HWND>(lp);
        if (lparamHwnd != nullptr) {
            ControlWindow* cw = byHwnd(lparamHwnd);
            if (cw == nullptr) {
                break;
            }
            if (HIWORD(wp) == BN_CLICKED &&
                cw->control().kind() == ui::ControlKind::CommandButton) {
                form_.fire(cw->control().onClick);
            } else if (HIWORD(wp) == CBN_SELCHANGE) {
                cw->syncing = true;
                static_cast<ui::ComboBox&>(cw->control())
                    .setListIndex(static_cast<int>(::SendMessageW(lparamHwnd, CB_GETCURSEL, 0, 0)));
                cw->syncing = false;
            }
            return 0;
        }
        if (HIWORD(wp) == 0 && LOWORD(wp) >= kMenuIdBase) {
            const UINT id = LOWORD(wp) - kMenuIdBase;
            const auto& menus = form_.menus();
            const std::size_t m = id / 100;
            const std::size_t i = id % 100;
            if (m < menus.size() && i < menus[m]->items().size()) {
                form_.fire(menus[m]->items()[i].onClick);
            }
            return 0;
        }
        break;
    }
    case WM_TIMER: {
        const auto& timers = form_.timers();
        if (wp >= 1 && wp <= timers.size()) {
            timers[wp - 1]->tick();
        }
        return 0;
    }
    case WM_CLOSE:
        // A window waiting on a modal one stays until that one is closed.
        if (::IsWindowEnabled(hwnd_)) {
            ws_.unload(form_);
        }
        return 0;
    case WM_DESTROY:
        if (!modal && owner == nullptr) {
            ::PostQuitMessage(0);
        }
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

Win32WindowSystem::Win32WindowSystem(HINSTANCE instance) : instance_(instance) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    {
        WindowDc screen(nullptr);
        dpi_ = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = FormWindow::proc;
    wc.hInstance = instance_;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kFormClass;
    ::RegisterClassExW(&wc);
    // No class cursor: the cursor shown over a label is whatever its handler set last.
    wc.lpfnWndProc = controlProc;
    wc.hCursor = nullptr;
    wc.lpszClassName = kLabelClass;
    ::RegisterClassExW(&wc);
    wc.lpszClassName = kImageClass;
    ::RegisterClassExW(&wc);
}

Win32WindowSystem::~Win32WindowSystem() {
    windows_.clear();
}

COLORREF Win32WindowSystem::resolve(ui::Color c) {
    return c.isSystem ? ::GetSysColor(static_cast<int>(c.value)) : c.value;
}

HFONT Win32WindowSystem::font(const ui::Font& f) {
    const std::wstring key = f.face + L"|" + std::to_wstring(f.points) + L"|" +
                             std::to_wstring(f.bold) + std::to_wstring(f.underline);
    auto& slot = fonts_[key];
    if (!slot) {
        const int height = -static_cast<int>(f.points * dpi_ / 72.0 + 0.5);
        slot.reset(::CreateFontW(height, 0, 0, 0, f.bold ? FW_BOLD : FW_NORMAL, FALSE,
                                 f.underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_DONTCARE, f.face.c_str()));
    }
    return static_cast<HFONT>(slot.get());
}

HICON Win32WindowSystem::icon(int id, bool small) {
    auto& slot = icons_[small ? -id : id];
    if (!slot) {
        const int size = ::GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON);
        slot.reset(static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(id), IMAGE_ICON,
                                                   size, size, LR_DEFAULTCOLOR)));
    }
    return slot.get();
}

FormWindow* Win32WindowSystem::create(ui::Form& form, HWND owner) {
    auto window = std::make_unique<FormWindow>(*this, form);
    FormWindow* fw = window.get();
    windows_[&form] = std::move(window);
    form.beginLoad();
    fw->create(instance_, owner);
    form.runLoadHandler();
    return fw;
}

HWND Win32WindowSystem::hwndOf(const ui::Form& form) const {
    const auto it = windows_.find(const_cast<ui::Form*>(&form));
    return it == windows_.end() ? nullptr : it->second->hwnd();
}

HWND Win32WindowSystem::hwndOf(const ui::Control& control) const {
    const auto it = windows_.find(&control.form());
    return it == windows_.end() ? nullptr : it->second->hwndOf(control);
}

namespace {
void focusFirst(const ui::Form& form, const Win32WindowSystem& ws) {
    const ui::Control* first = nullptr;
    for (const ui::Control* c : form.controls()) {
        if (c->tabIndex() >= 0 && c->enabled() && (!first || c->tabIndex() < first->tabIndex())) {
            first = c;
        }
    }
    if (first != nullptr) {
        ::SetFocus(ws.hwndOf(*first));
    }
}
} // namespace

void Win32WindowSystem::show(ui::Form& form) {
    if (main_ == nullptr) {
        main_ = &form;
    }
    FormWindow* fw = form.loaded() ? windows_[&form].get() : create(form, nullptr);
    ::ShowWindow(fw->hwnd(), SW_SHOW);
    ::UpdateWindow(fw->hwnd());
    focusFirst(form, *this);
}

void Win32WindowSystem::showModal(ui::Form& form) {
    if (form.loaded()) {
        // Already open: bring it forward rather than opening it twice.
        ::SetForegroundWindow(hwndOf(form));
        return;
    }
    HWND owner = main_ != nullptr ? hwndOf(*main_) : nullptr;
    FormWindow* fw = create(form, owner);
    fw->modal = true;
    if (owner != nullptr) {
        ::EnableWindow(owner, FALSE);
    }
    ::ShowWindow(fw->hwnd(), SW_SHOW);
    focusFirst(form, *this);
    MSG msg;
    while (form.loaded() && nextMessage(msg)) {
        pump(msg);
    }
    if (form.loaded()) {
        unload(form);
    }
}

void Win32WindowSystem::unload(ui::Form& form) {
    const auto it = windows_.find(&form);
    if (it == windows_.end()) {
        form.endUnload();
        return;
    }
    FormWindow* fw = it->second.get();
    form.endUnload();
    if (fw->modal && fw->owner != nullptr) {
        // Give the owner its input back before the modal window goes, so it is activated.
        ::EnableWindow(fw->owner, TRUE);
        ::SetActiveWindow(fw->owner);
    }
    std::unique_ptr<FormWindow> gone = std::move(it->second);
    windows_.erase(it);
    gone.reset();
    if (&form == main_) {
        main_ = nullptr;
    }
}

int Win32WindowSystem::messageBox(const std::wstring& text, const std::wstring& title, int style) {
    HWND owner = ::GetActiveWindow();
    return ::MessageBoxW(owner, text.c_str(), title.c_str(), static_cast<UINT>(style) | MB_OK);
}

void Win32WindowSystem::popupMenu(ui::Form& form, ui::Menu& menu) {
    UniqueMenu popup(::CreatePopupMenu());
    const auto& menus = form.menus();
    const auto m = static_cast<UINT>(std::find(menus.begin(), menus.end(), &menu) - menus.begin());
    UINT i = 0;
    for (const ui::MenuItem& item : menu.items()) {
        std::wstring text = item.caption;
        if (!item.shortcutText.empty()) {
            text += L"\t" + item.shortcutText;
        }
        ::AppendMenuW(popup.get(), MF_STRING, kMenuIdBase + m * 100 + i++, text.c_str());
    }
    POINT pt{};
    ::GetCursorPos(&pt);
    HWND hwnd = hwndOf(form);
    ::SetForegroundWindow(hwnd);
    ::TrackPopupMenu(popup.get(), 0, pt.x, pt.y, 0, hwnd, nullptr);
    ::PostMessageW(hwnd, WM_NULL, 0, 0);
}

ui::TwipSize Win32WindowSystem::measureText(const ui::Font& f, const std::wstring& text) {
    WindowDc screen(nullptr);
    SelectObjectScope select(screen.get(), font(f));
    SIZE size{};
    ::GetTextExtentPoint32W(screen.get(), text.c_str(), static_cast<int>(text.size()), &size);
    TEXTMETRICW tm{};
    ::GetTextMetricsW(screen.get(), &tm);
    return {twips(size.cx), twips(std::max<LONG>(size.cy, tm.tmHeight))};
}

bool Win32WindowSystem::preTranslate(const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) {
        return false;
    }
    HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
    for (auto& [form, window] : windows_) {
        if (window->hwnd() == root && form->keyPreview() && ::IsWindowEnabled(root)) {
            const int shift = (::GetKeyState(VK_SHIFT) < 0 ? 1 : 0) |
                              (::GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
                              (::GetKeyState(VK_MENU) < 0 ? 4 : 0);
            ui::Form* f = form;
            f->keyDown(static_cast<int>(msg.wParam), shift);
            return msg.wParam == VK_F1;
        }
    }
    return false;
}

void Win32WindowSystem::pump(MSG& msg) {
    if (preTranslate(msg)) {
        return;
    }
    HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root != nullptr) {
        for (auto& entry : windows_) {
            if (entry.second->hwnd() == root && ::IsDialogMessageW(root, &msg)) {
                return;
            }
        }
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

bool Win32WindowSystem::nextMessage(MSG& msg) {
    if (quitting_) {
        return false;
    }
    if (::GetMessageW(&msg, nullptr, 0, 0) <= 0) {
        quitting_ = true;
        exitCode_ = static_cast<int>(msg.wParam);
        return false;
    }
    return true;
}

int Win32WindowSystem::run() {
    MSG msg;
    while (nextMessage(msg)) {
        pump(msg);
    }
    return exitCode_;
}

void Win32WindowSystem::doEvents() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Taken out of the queue and remembered: a quit left waiting there would wake
            // every wait at once and turn it into a spin. The outer loops end on the flag.
            quitting_ = true;
            exitCode_ = static_cast<int>(msg.wParam);
            return;
        }
        pump(msg);
    }
}

void Win32WindowSystem::sleepResponsive(int ms) {
    const ULONGLONG until = ::GetTickCount64() + static_cast<ULONGLONG>(ms);
    for (;;) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= until) {
            break;
        }
        ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(until - now), QS_ALLINPUT,
                                      MWMO_INPUTAVAILABLE);
        doEvents();
    }
}

void Win32WindowSystem::reportError(const std::exception& e) {
    std::wstring text = Win32AnsiCodePage().fromAnsi(e.what());
    if (const auto* se = dynamic_cast<const SystemError*>(&e)) {
        text += L"\n\n" + win32::systemMessage(se->code());
    }
    ::MessageBoxW(::GetActiveWindow(), text.c_str(), L"Kestrave", MB_OK | MB_ICONERROR);
}

std::uintptr_t Win32WindowSystem::LoadCursorA(std::uintptr_t instance, std::uintptr_t resource) {
    return reinterpret_cast<std::uintptr_t>(
        ::LoadCursorA(reinterpret_cast<HINSTANCE>(instance), reinterpret_cast<LPCSTR>(resource)));
}

void Win32WindowSystem::SetCursor(std::uintptr_t cursor) {
    ::SetCursor(reinterpret_cast<HCURSOR>(cursor));
}

void Win32WindowSystem::MessageBeep(unsigned type) {
    ::MessageBeep(type);
}

std::wstring Win32WindowSystem::systemMessage(std::uint32_t code) {
    return win32::systemMessage(code);
}

ui::AppVersion Win32WindowSystem::appVersion() {
    // version.dll is not a KnownDLL: System32 only, and only when the about window asks.
    static SystemLibrary version(L"version.dll");
    ui::AppVersion v;
    using SizeFn = DWORD(WINAPI*)(const wchar_t*, DWORD*);
    using InfoFn = BOOL(WINAPI*)(const wchar_t*, DWORD, DWORD, void*);
    using QueryFn = BOOL(WINAPI*)(const void*, const wchar_t*, void**, UINT*);
    const auto sizeFn = version.get<SizeFn>("GetFileVersionInfoSizeW");
    const auto infoFn = version.get<InfoFn>("GetFileVersionInfoW");
    const auto queryFn = version.get<QueryFn>("VerQueryValueW");
    if (!sizeFn || !infoFn || !queryFn) {
        return v;
    }
    wchar_t path[MAX_PATH];
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    const DWORD size = sizeFn(path, &ignored);
    if (size == 0) {
        return v;
    }
    std::vector<BYTE> block(size);
    if (!infoFn(path, 0, size, block.data())) {
        return v;
    }
    void* value = nullptr;
    UINT length = 0;
    if (queryFn(block.data(), L"\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        v.major = HIWORD(fixed->dwProductVersionMS);
        v.minor = LOWORD(fixed->dwProductVersionMS);
        v.revision = LOWORD(fixed->dwProductVersionLS);
    }
    if (queryFn(block.data(), L"\\StringFileInfo\\080404B0\\ProductName", &value, &length) &&
        length > 0) {
        v.productName.assign(static_cast<const wchar_t*>(value),
                             wcsnlen(static_cast<const wchar_t*>(value), length));
    }
    return v;
}

} // namespace kestrave::win32
