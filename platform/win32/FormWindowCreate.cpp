// Making a form's window and its controls, all at once or, for the program's first window,
// the controls it paints itself first and the system's own once the window is in sight.
#include "platform/win32/FormWindow.h"

#include <algorithm>

#include "platform/SystemError.h"
#include "platform/win32/StartupTimeline.h"

namespace kestrave::win32 {

namespace {
// Buttons, lists and text fields are comctl32's classes, as is a control's tool tip.
bool needsCommonControls(const ui::Control& c) {
    return (c.kind() != ui::ControlKind::Label && c.kind() != ui::ControlKind::Image) ||
           !c.toolTip().empty();
}
} // namespace

void FormWindow::create(HINSTANCE instance, HWND owner, Controls which) {
    owner_ = owner;
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN |
                        (owner == nullptr ? WS_MINIMIZEBOX : 0);
    const DWORD exStyle = WS_EX_CONTROLPARENT | (owner ? WS_EX_DLGMODALFRAME : 0);
    RECT rc{0, 0, px(form_.clientSize().width), px(form_.clientSize().height)};
    ::AdjustWindowRectEx(&rc, style, FALSE, exStyle);
    const int w = rc.right - rc.left;
    const int h = rc.bottom - rc.top;
    RECT area{};
    if (owner != nullptr && form_.startPosition() == ui::StartPosition::CenterOwner) {
        ::GetWindowRect(owner, &area);
    } else {
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    const int x = std::max(0L, area.left + (area.right - area.left - w) / 2);
    const int y = std::max(0L, area.top + (area.bottom - area.top - h) / 2);
    if (::CreateWindowExW(exStyle, kClass, form_.caption().c_str(), style, x, y, w, h, owner,
                          nullptr, instance, static_cast<WindowBase*>(this)) == nullptr) {
        throw SystemError(::GetLastError(), "cannot create the window");
    }
    startup::mark(startup::kWindowCreated);
    form_.attachPeer(this);
    changed();
    for (ui::Control* c : form_.controls()) {
        controls_.push_back(std::make_unique<ControlWindow>(*this, *c));
    }
    // A child window is made below its elder siblings: made in stacking order, the controls
    // need no moving afterwards (one round trip to the window server each, saved).
    for (ControlWindow* cw : stackingOrder()) {
        if (which == Controls::All || !needsCommonControls(cw->control())) {
            cw->create(instance);
        }
    }
    UINT_PTR id = 1;
    for (ui::Timer* t : form_.timers()) {
        timers_.push_back(std::make_unique<TimerBinding>(hwnd_, *t, id++));
    }
}

void FormWindow::paintOwnControls() {
    // The form and its labels, the status among them; pictures wait for the full paint (the
    // first one loads GDI+).
    ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_UPDATENOW | RDW_NOCHILDREN);
    for (const auto& cw : controls_) {
        if (cw->hwnd() != nullptr && cw->control().kind() == ui::ControlKind::Label) {
            ::UpdateWindow(cw->hwnd());
        }
    }
}

void FormWindow::createRemainingControls(HINSTANCE instance) {
    // Made last, each would lie below every control already made: put back under the one
    // above it in the stacking order, so that what overlaps and the tab order are as if all
    // had been made together.
    HWND above = HWND_TOP;
    for (ControlWindow* cw : stackingOrder()) {
        if (cw->hwnd() == nullptr) {
            cw->create(instance);
            ::SetWindowPos(cw->hwnd(), above, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        above = cw->hwnd();
    }
}

std::vector<ControlWindow*> FormWindow::stackingOrder() const {
    // Controls that take the focus first, by tab index (so Tab walks them in that order), then
    // the rest with later ones on top of earlier ones.
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
    return order;
}

} // namespace kestrave::win32
