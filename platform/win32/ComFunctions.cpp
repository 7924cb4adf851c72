#include "platform/win32/ComFunctions.h"

#include "platform/win32/SystemLibrary.h"

namespace kestrave::win32::com {

namespace {
SystemLibrary& ole32() {
    static SystemLibrary library(L"ole32.dll");
    return library;
}
SystemLibrary& oleaut32() {
    static SystemLibrary library(L"oleaut32.dll");
    return library;
}
thread_local bool inApartment = false;
} // namespace

HRESULT enterApartment() {
    if (inApartment) {
        return S_OK;
    }
    const auto init = ole32().get<decltype(&::CoInitializeEx)>("CoInitializeEx");
    if (init == nullptr) {
        return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    }
    const HRESULT hr = init(nullptr, COINIT_APARTMENTTHREADED);
    // S_FALSE: already in one; it still counts, and is still left once.
    inApartment = SUCCEEDED(hr);
    // RPC_E_CHANGED_MODE: someone made it multithreaded; objects are still created there.
    return hr == RPC_E_CHANGED_MODE ? S_OK : hr;
}

void disconnectObject(IUnknown* object) {
    if (const auto cut = ole32().get<decltype(&::CoDisconnectObject)>("CoDisconnectObject")) {
        cut(object, 0);
    }
}

HRESULT createInstance(REFCLSID clsid, DWORD context, REFIID iid, void** object) {
    *object = nullptr;
    const HRESULT entered = enterApartment();
    if (FAILED(entered)) {
        return entered;
    }
    const auto create = ole32().get<decltype(&::CoCreateInstance)>("CoCreateInstance");
    return create != nullptr ? create(clsid, nullptr, context, iid, object)
                             : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
}

HRESULT clsidFromProgId(const wchar_t* progId, CLSID* clsid) {
    const auto find = ole32().get<decltype(&::CLSIDFromProgID)>("CLSIDFromProgID");
    return find != nullptr ? find(progId, clsid) : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
}

void taskMemFree(void* memory) {
    if (memory == nullptr) {
        return;
    }
    if (const auto free = ole32().get<decltype(&::CoTaskMemFree)>("CoTaskMemFree")) {
        free(memory);
    }
}

HRESULT streamOnHGlobal(HGLOBAL memory, BOOL freeOnRelease, IStream** stream) {
    const auto make = ole32().get<decltype(&::CreateStreamOnHGlobal)>("CreateStreamOnHGlobal");
    return make != nullptr ? make(memory, freeOnRelease, stream)
                           : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
}

BSTR allocString(const std::wstring& s) {
    const auto alloc = oleaut32().get<decltype(&::SysAllocStringLen)>("SysAllocStringLen");
    return alloc != nullptr ? alloc(s.data(), static_cast<UINT>(s.size())) : nullptr;
}

void freeString(BSTR s) {
    if (s == nullptr) {
        return;
    }
    if (const auto free = oleaut32().get<decltype(&::SysFreeString)>("SysFreeString")) {
        free(s);
    }
}

void variantClear(VARIANT* v) {
    if (const auto clear = oleaut32().get<decltype(&::VariantClear)>("VariantClear")) {
        clear(v);
    }
}

void leaveApartment() {
    if (!inApartment) {
        return;
    }
    inApartment = false;
    if (const auto uninit = ole32().get<decltype(&::CoUninitialize)>("CoUninitialize")) {
        uninit();
    }
}

} // namespace kestrave::win32::com
