#pragma once
#include "platform/win32/Win32Api.h"

#include <oleacc.h>

namespace kestrave::ui {
class Control;
}

namespace kestrave::win32 {

// What a control the program paints itself is to assistive technology: the program's own
// IAccessible rather than the system's proxy annotated, because the proxy would have to be
// told every new line (and Wine's answers no interface even for a button), while this object
// reads the live name, role and state from the control each time it is asked.
//
// Reference-counted: a screen reader may hold it past the control. When the control goes it
// calls disconnect(), which cuts the pointer back to it (every call then answers
// CO_E_OBJNOTCONNECTED) and the proxies of other processes; the object is never deleted
// while referenced.
class AccessibleControl final : public IAccessible {
  public:
    AccessibleControl(ui::Control& control, HWND hwnd) : control_(&control), hwnd_(hwnd) {}
    void disconnect();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch: no type information; assistive technology calls IAccessible directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                     EXCEPINFO*, UINT*) override;
    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override;

  private:
    ~AccessibleControl() = default;
    // S_OK for the object itself, CO_E_OBJNOTCONNECTED once its control is gone,
    // E_INVALIDARG for a child it does not have.
    HRESULT check(const VARIANT& child) const;

    LONG references_ = 1;
    ui::Control* control_;
    HWND hwnd_;
};

// IAccessible's interface id, here rather than from an import library of oleacc.
inline constexpr GUID kIidAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// The message a control's window gets to carry out its default action on its own thread,
// after the call that asked for it has returned.
inline constexpr UINT kDoDefaultAction = WM_APP + 0x41;

// LresultFromObject and AccessibleObjectFromWindow, from oleacc in System32 at first use.
LRESULT lresultFromObject(REFIID iid, WPARAM wp, IUnknown* object);
HRESULT accessibleObjectFromWindow(HWND hwnd, DWORD id, REFIID iid, void** out);

} // namespace kestrave::win32
