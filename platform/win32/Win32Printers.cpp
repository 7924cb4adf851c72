#include "platform/win32/Win32Printers.h"

#include "platform/win32/Win32Api.h"

#include <oaidl.h>
#include <objbase.h>
#include <oleauto.h>
#include <vector>
#include <wrl/client.h>

#include "platform/SystemError.h"
#include "platform/win32/ComFunctions.h"

namespace kestrave::win32 {

namespace {
// PRINTER_INFO_4W, as winspool.h lays it out.
struct PrinterInfo4 {
    wchar_t* printerName;
    wchar_t* serverName;
    DWORD attributes;
};
constexpr DWORD kEnumLocal = 0x2;
constexpr DWORD kEnumConnections = 0x4;

void check(HRESULT hr, const char* what) {
    if (FAILED(hr)) {
        throw SystemError(static_cast<std::uint32_t>(hr), what);
    }
}

class NetworkObject : public INetworkObject {
  public:
    explicit NetworkObject(const std::wstring& progId) {
        CLSID clsid{};
        check(com::clsidFromProgId(progId.c_str(), &clsid),
              "the scripting network object is missing");
        check(com::createInstance(clsid, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                  reinterpret_cast<void**>(dispatch_.GetAddressOf())),
              "the scripting network object cannot be created");
    }
    void setDefaultPrinter(const std::wstring& name) override {
        wchar_t member[] = L"setDefaultPrinter";
        LPOLESTR names[] = {member};
        DISPID id = 0;
        check(dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id),
              "setDefaultPrinter is not known");
        VARIANTARG arg{};
        arg.vt = VT_BSTR;
        arg.bstrVal = com::allocString(name);
        DISPPARAMS params{&arg, nullptr, 1, 0};
        EXCEPINFO info{};
        const HRESULT hr = dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                             &params, nullptr, &info, nullptr);
        com::variantClear(&arg);
        com::freeString(info.bstrSource);
        com::freeString(info.bstrDescription);
        com::freeString(info.bstrHelpFile);
        check(hr, "setDefaultPrinter refused the printer");
    }

  private:
    Microsoft::WRL::ComPtr<IDispatch> dispatch_;
};
} // namespace

std::vector<std::wstring> Win32Printers::enumPrinters() {
    using Fn = BOOL(WINAPI*)(DWORD, wchar_t*, DWORD, BYTE*, DWORD, DWORD*, DWORD*);
    const auto fn = winspool_.get<Fn>("EnumPrintersW");
    if (fn == nullptr) {
        throw SystemError(ERROR_PROC_NOT_FOUND, "the printer list is not available");
    }
    const DWORD flags = kEnumLocal | kEnumConnections;
    DWORD needed = 0;
    DWORD count = 0;
    std::vector<std::wstring> names;
    if (!fn(flags, nullptr, 4, nullptr, 0, &needed, &count)) {
        const DWORD code = ::GetLastError();
        if (code != ERROR_INSUFFICIENT_BUFFER) {
            throw SystemError(code, "cannot read the printer list");
        }
    }
    if (needed == 0) {
        return names;
    }
    // Aligned for the records at the start of the buffer.
    std::vector<PrinterInfo4> records(needed / sizeof(PrinterInfo4) + 1);
    if (!fn(flags, nullptr, 4, reinterpret_cast<BYTE*>(records.data()),
            static_cast<DWORD>(records.size() * sizeof(PrinterInfo4)), &needed, &count)) {
        throw SystemError(::GetLastError(), "cannot read the printer list");
    }
    for (DWORD i = 0; i < count; ++i) {
        names.emplace_back(records[i].printerName ? records[i].printerName : L"");
    }
    return names;
}

std::optional<std::wstring> Win32Printers::defaultPrinter() {
    using Fn = BOOL(WINAPI*)(wchar_t*, DWORD*);
    const auto fn = winspool_.get<Fn>("GetDefaultPrinterW");
    if (fn == nullptr) {
        return std::nullopt;
    }
    DWORD size = 0;
    fn(nullptr, &size);
    if (size == 0) {
        return std::nullopt;
    }
    std::wstring name(size, L'\0');
    if (!fn(name.data(), &size)) {
        return std::nullopt;
    }
    name.resize(wcsnlen(name.c_str(), name.size()));
    return name;
}

std::uint32_t Win32Printers::setDefaultPrinter(const std::wstring& name) {
    using Fn = BOOL(WINAPI*)(const wchar_t*);
    const auto fn = winspool_.get<Fn>("SetDefaultPrinterW");
    if (fn == nullptr) {
        return ERROR_PROC_NOT_FOUND;
    }
    return fn(name.c_str()) ? 0 : ::GetLastError();
}

std::unique_ptr<INetworkObject> Win32NetworkObjectFactory::create(const std::wstring& progId) {
    return std::make_unique<NetworkObject>(progId);
}

} // namespace kestrave::win32
