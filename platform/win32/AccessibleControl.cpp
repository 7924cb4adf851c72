#include "platform/win32/AccessibleControl.h"

#include "platform/win32/ComFunctions.h"
#include "platform/win32/SystemLibrary.h"
#include "ui/Control.h"

namespace kestrave::win32 {

namespace {
SystemLibrary& oleacc() {
    static SystemLibrary library(L"oleacc.dll");
    return library;
}

void empty(VARIANT* v) {
    v->vt = VT_EMPTY; // VariantInit, without oleaut32 for it
}

HRESULT text(const std::wstring& s, BSTR* out) {
    *out = nullptr;
    if (s.empty()) {
        return S_FALSE;
    }
    *out = com::allocString(s);
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

long roleOf(ui::AccessibleRole role) {
    switch (role) {
    case ui::AccessibleRole::StatusText:
        return ROLE_SYSTEM_STATUSBAR;
    case ui::AccessibleRole::Graphic:
        return ROLE_SYSTEM_GRAPHIC;
    case ui::AccessibleRole::Link:
        return ROLE_SYSTEM_LINK;
    case ui::AccessibleRole::None:
        break;
    }
    return ROLE_SYSTEM_STATICTEXT;
}
} // namespace

LRESULT lresultFromObject(REFIID iid, WPARAM wp, IUnknown* object) {
    const auto make = oleacc().get<decltype(&::LresultFromObject)>("LresultFromObject");
    if (make == nullptr || FAILED(com::enterApartment())) {
        return 0;
    }
    const LRESULT r = make(iid, wp, object);
    return r < 0 ? 0 : r; // a failure: the window then answers as if it had no object
}

HRESULT accessibleObjectFromWindow(HWND hwnd, DWORD id, REFIID iid, void** out) {
    *out = nullptr;
    const auto find =
        oleacc().get<decltype(&::AccessibleObjectFromWindow)>("AccessibleObjectFromWindow");
    return find != nullptr ? find(hwnd, id, iid, out) : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
}

void AccessibleControl::disconnect() {
    control_ = nullptr;
    hwnd_ = nullptr;
    com::disconnectObject(this);
}

HRESULT AccessibleControl::check(const VARIANT& child) const {
    if (control_ == nullptr) {
        return CO_E_OBJNOTCONNECTED;
    }
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF ? S_OK : E_INVALIDARG;
}

HRESULT AccessibleControl::QueryInterface(REFIID iid, void** out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIidAccessible) {
        *out = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG AccessibleControl::AddRef() {
    return static_cast<ULONG>(::InterlockedIncrement(&references_));
}

ULONG AccessibleControl::Release() {
    const LONG left = ::InterlockedDecrement(&references_);
    if (left == 0) {
        delete this;
    }
    return static_cast<ULONG>(left);
}

HRESULT AccessibleControl::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}
HRESULT AccessibleControl::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    *info = nullptr;
    return E_NOTIMPL;
}
HRESULT AccessibleControl::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}
HRESULT AccessibleControl::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                  UINT*) {
    return E_NOTIMPL;
}

HRESULT AccessibleControl::get_accParent(IDispatch** parent) {
    *parent = nullptr;
    if (control_ == nullptr) {
        return CO_E_OBJNOTCONNECTED;
    }
    // The window object of the same window, as the system's client objects answer.
    return SUCCEEDED(accessibleObjectFromWindow(hwnd_, static_cast<DWORD>(OBJID_WINDOW),
                                                IID_IDispatch, reinterpret_cast<void**>(parent)))
               ? S_OK
               : S_FALSE;
}

HRESULT AccessibleControl::get_accChildCount(long* count) {
    *count = 0;
    return control_ == nullptr ? CO_E_OBJNOTCONNECTED : S_OK;
}

HRESULT AccessibleControl::get_accChild(VARIANT child, IDispatch** out) {
    *out = nullptr;
    const HRESULT ok = check(child);
    return ok == S_OK ? S_FALSE : ok;
}

HRESULT AccessibleControl::get_accName(VARIANT child, BSTR* name) {
    *name = nullptr;
    const HRESULT ok = check(child);
    return ok != S_OK ? ok : text(control_->accessibleName(), name);
}

HRESULT AccessibleControl::get_accValue(VARIANT child, BSTR* value) {
    *value = nullptr;
    const HRESULT ok = check(child);
    return ok != S_OK ? ok : S_FALSE;
}

HRESULT AccessibleControl::get_accDescription(VARIANT child, BSTR* description) {
    *description = nullptr;
    const HRESULT ok = check(child);
    return ok != S_OK ? ok : text(control_->toolTip(), description);
}

HRESULT AccessibleControl::get_accRole(VARIANT child, VARIANT* role) {
    empty(role);
    if (const HRESULT ok = check(child); ok != S_OK) {
        return ok;
    }
    role->vt = VT_I4;
    role->lVal = roleOf(control_->accessibleRole());
    return S_OK;
}

HRESULT AccessibleControl::get_accState(VARIANT child, VARIANT* state) {
    empty(state);
    if (const HRESULT ok = check(child); ok != S_OK) {
        return ok;
    }
    long s = STATE_SYSTEM_READONLY;
    if (control_->accessibleRole() == ui::AccessibleRole::Link) {
        s = STATE_SYSTEM_LINKED | STATE_SYSTEM_FOCUSABLE;
        if (::GetFocus() == hwnd_) {
            s |= STATE_SYSTEM_FOCUSED;
        }
    }
    if (!control_->visible()) {
        s |= STATE_SYSTEM_INVISIBLE;
    }
    if (!control_->enabled()) {
        s |= STATE_SYSTEM_UNAVAILABLE;
    }
    state->vt = VT_I4;
    state->lVal = s;
    return S_OK;
}

HRESULT AccessibleControl::get_accHelp(VARIANT child, BSTR* help) {
    *help = nullptr;
    const HRESULT ok = check(child);
    return ok != S_OK ? ok : S_FALSE;
}

HRESULT AccessibleControl::get_accHelpTopic(BSTR* file, VARIANT child, long* topic) {
    *file = nullptr;
    *topic = 0;
    const HRESULT ok = check(child);
    return ok != S_OK ? ok : S_FALSE;
}

HRESULT AccessibleControl::get_accKeyboardShortcut(VARIANT child, BSTR* keys) {
    *keys = nullptr;
    const HRESULT ok = check(child);
    return ok != S_OK ? ok : S_FALSE;
}

HRESULT AccessibleControl::get_accFocus(VARIANT* focus) {
    empty(focus);
    if (control_ == nullptr) {
        return CO_E_OBJNOTCONNECTED;
    }
    if (::GetFocus() != hwnd_) {
        return S_FALSE;
    }
    focus->vt = VT_I4;
    focus->lVal = CHILDID_SELF;
    return S_OK;
}

HRESULT AccessibleControl::get_accSelection(VARIANT* selection) {
    empty(selection);
    return control_ == nullptr ? CO_E_OBJNOTCONNECTED : S_FALSE;
}

HRESULT AccessibleControl::get_accDefaultAction(VARIANT child, BSTR* action) {
    *action = nullptr;
    const HRESULT ok = check(child);
    return ok != S_OK ? ok : text(control_->accessibleAction(), action);
}

HRESULT AccessibleControl::accSelect(long flags, VARIANT child) {
    if (const HRESULT ok = check(child); ok != S_OK) {
        return ok;
    }
    if ((flags & SELFLAG_TAKEFOCUS) != 0 &&
        control_->accessibleRole() == ui::AccessibleRole::Link) {
        ::SetFocus(hwnd_);
        return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT AccessibleControl::accLocation(long* left, long* top, long* width, long* height,
                                       VARIANT child) {
    *left = *top = *width = *height = 0;
    if (const HRESULT ok = check(child); ok != S_OK) {
        return ok;
    }
    RECT r;
    if (!::GetWindowRect(hwnd_, &r)) {
        return HRESULT_FROM_WIN32(::GetLastError());
    }
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
}

HRESULT AccessibleControl::accNavigate(long, VARIANT start, VARIANT* end) {
    empty(end);
    const HRESULT ok = check(start);
    return ok != S_OK ? ok : S_FALSE;
}

HRESULT AccessibleControl::accHitTest(long x, long y, VARIANT* child) {
    empty(child);
    if (control_ == nullptr) {
        return CO_E_OBJNOTCONNECTED;
    }
    RECT r;
    if (!::GetWindowRect(hwnd_, &r) || !::PtInRect(&r, POINT{x, y})) {
        return S_FALSE;
    }
    child->vt = VT_I4;
    child->lVal = CHILDID_SELF;
    return S_OK;
}

HRESULT AccessibleControl::accDoDefaultAction(VARIANT child) {
    if (const HRESULT ok = check(child); ok != S_OK) {
        return ok;
    }
    if (control_->accessibleAction().empty()) {
        return DISP_E_MEMBERNOTFOUND;
    }
    // Carried out after this call returns, on the window's own thread and in its own time:
    // a link opens a browser, and the caller should not wait for that.
    return ::PostMessageW(hwnd_, kDoDefaultAction, 0, 0) ? S_OK
                                                        : HRESULT_FROM_WIN32(::GetLastError());
}

HRESULT AccessibleControl::put_accName(VARIANT, BSTR) {
    return control_ == nullptr ? CO_E_OBJNOTCONNECTED : E_NOTIMPL;
}
HRESULT AccessibleControl::put_accValue(VARIANT, BSTR) {
    return control_ == nullptr ? CO_E_OBJNOTCONNECTED : E_NOTIMPL;
}

} // namespace kestrave::win32
