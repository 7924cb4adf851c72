// What assistive technology and the keyboard reach of the controls the program paints itself.
#include "platform/win32/ControlWindow.h"

#include "platform/win32/AccessibleControl.h"
#include "platform/win32/ComFunctions.h"
#include "ui/Form.h"

namespace kestrave::win32 {

namespace {
// CLSID_AccPropServices and IID_IAccPropServices, and UI Automation's LiveSetting property.
constexpr GUID kAccPropServices = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID kIidAccPropServices = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kLiveSetting = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kPolite = 1;
} // namespace

ControlWindow::~ControlWindow() {
    releaseAccessible();
    control_.attachPeer(nullptr);
}

LRESULT ControlWindow::accessibleObject(WPARAM wp, LPARAM lp) {
    if (static_cast<LONG>(lp) != OBJID_CLIENT ||
        control_.accessibleRole() == ui::AccessibleRole::None) {
        return ::DefWindowProcW(hwnd_, WM_GETOBJECT, wp, lp);
    }
    if (accessible_ == nullptr) {
        accessible_ = new AccessibleControl(control_, hwnd_);
        // Only once assistive technology asks: no COM for a window nobody reads this way.
        makeLiveRegion();
    }
    return lresultFromObject(kIidAccessible, wp, accessible_);
}

void ControlWindow::releaseAccessible() {
    if (accessible_ != nullptr) {
        accessible_->disconnect();
        accessible_->Release();
        accessible_ = nullptr;
    }
}

void ControlWindow::makeLiveRegion() {
    if (control_.accessibleRole() != ui::AccessibleRole::StatusText) {
        return;
    }
    IAccPropServices* services = nullptr;
    if (FAILED(com::createInstance(kAccPropServices, CLSCTX_INPROC_SERVER, kIidAccPropServices,
                                   reinterpret_cast<void**>(&services)))) {
        return;
    }
    VARIANT polite;
    polite.vt = VT_I4;
    polite.lVal = kPolite;
    // Where it is refused (Wine answers E_NOTIMPL), there is no live region: the name change
    // alone is announced.
    liveRegion_ = SUCCEEDED(services->SetHwndProp(hwnd_, static_cast<DWORD>(OBJID_CLIENT),
                                                  CHILDID_SELF, kLiveSetting, polite));
    services->Release();
}

bool ControlWindow::linkKey(UINT msg, WPARAM key) {
    if (!isLink() || (key != VK_RETURN && key != VK_SPACE)) {
        return false;
    }
    if (msg == WM_KEYDOWN) {
        control_.form().fire(control_.onClick);
    }
    return true;
}

} // namespace kestrave::win32
