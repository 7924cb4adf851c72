#include "platform/win32/VersionRecord.h"

#include <cwchar>
#include <vector>

#include "platform/win32/SystemLibrary.h"

namespace kestrave::win32 {

ui::AppVersion readVersionRecord() {
    // version.dll is not a KnownDLL: System32 only, and only when the about window asks.
    static SystemLibrary version(L"version.dll");
    ui::AppVersion v;
    const auto sizeFn =
        version.get<decltype(&::GetFileVersionInfoSizeW)>("GetFileVersionInfoSizeW");
    const auto infoFn = version.get<decltype(&::GetFileVersionInfoW)>("GetFileVersionInfoW");
    const auto queryFn = version.get<decltype(&::VerQueryValueW)>("VerQueryValueW");
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
