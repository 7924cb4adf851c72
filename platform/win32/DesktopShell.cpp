#include "platform/win32/DesktopShell.h"

#include "platform/win32/Win32Api.h"

#include <exdisp.h>
#include <oleauto.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>
#include <wrl/client.h>

#include "platform/win32/ComFunctions.h"

namespace kestrave::win32 {

namespace {
using Microsoft::WRL::ComPtr;

// The desktop window's folder view, as automation sees it.
ComPtr<IShellDispatch2> desktopShell() {
    ComPtr<IShellWindows> windows;
    if (FAILED(
            com::createInstance(CLSID_ShellWindows, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&windows)))) {
        return nullptr;
    }
    VARIANT location{};
    location.vt = VT_I4;
    location.lVal = CSIDL_DESKTOP;
    VARIANT empty{};
    long hwnd = 0;
    ComPtr<IDispatch> found;
    // S_FALSE, not a failure, says there is no such window: check the pointer too.
    if (windows->FindWindowSW(&location, &empty, SWC_DESKTOP, &hwnd, SWFO_NEEDDISPATCH, &found) !=
            S_OK ||
        !found) {
        return nullptr;
    }
    ComPtr<IServiceProvider> provider;
    ComPtr<IShellBrowser> browser;
    ComPtr<IShellView> view;
    ComPtr<IDispatch> background;
    ComPtr<IShellFolderViewDual> folderView;
    ComPtr<IDispatch> application;
    ComPtr<IShellDispatch2> shell;
    if (FAILED(found.As(&provider)) ||
        FAILED(provider->QueryService(SID_STopLevelBrowser, IID_PPV_ARGS(&browser))) ||
        FAILED(browser->QueryActiveShellView(&view)) ||
        FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_PPV_ARGS(&background))) ||
        FAILED(background.As(&folderView)) || FAILED(folderView->get_Application(&application)) ||
        FAILED(application.As(&shell))) {
        return nullptr;
    }
    return shell;
}

// A BSTR owned for the scope.
class Bstr {
  public:
    explicit Bstr(const std::wstring& s) : b_(com::allocString(s)) {}
    ~Bstr() { com::freeString(b_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return b_; }

  private:
    BSTR b_;
};
} // namespace

bool openAsDesktopUser(const std::wstring& file) {
    const ComPtr<IShellDispatch2> shell = desktopShell();
    if (!shell) {
        return false;
    }
    const Bstr name(file);
    const Bstr verb(L"open");
    VARIANT none{};
    VARIANT operation{};
    operation.vt = VT_BSTR;
    operation.bstrVal = verb.get();
    VARIANT show{};
    show.vt = VT_I4;
    show.lVal = SW_SHOWNORMAL;
    return name.get() != nullptr &&
           SUCCEEDED(shell->ShellExecute(name.get(), none, none, operation, show));
}

} // namespace kestrave::win32
