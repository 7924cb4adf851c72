#include "platform/win32/VersionRecord.h"

#include <cwchar>
#include <vector>

#include "core/text/TextFormat.h"
#include "platform/win32/SystemLibrary.h"

namespace kestrave::win32 {

namespace {
// A file's version record, read through version.dll, which is not a KnownDLL: System32 only,
// and only when first asked.
class VersionBlock {
  public:
    explicit VersionBlock(const std::wstring& path) {
        static SystemLibrary version(L"version.dll");
        const auto sizeFn =
            version.get<decltype(&::GetFileVersionInfoSizeW)>("GetFileVersionInfoSizeW");
        const auto infoFn = version.get<decltype(&::GetFileVersionInfoW)>("GetFileVersionInfoW");
        query_ = version.get<decltype(&::VerQueryValueW)>("VerQueryValueW");
        if (!sizeFn || !infoFn || !query_) {
            return;
        }
        DWORD ignored = 0;
        const DWORD size = sizeFn(path.c_str(), &ignored);
        block_.resize(size);
        if (size == 0 || !infoFn(path.c_str(), 0, size, block_.data())) {
            block_.clear();
        }
    }
    // The value at that path of the record, or null.
    const void* value(const wchar_t* sub, UINT& length) const {
        void* value = nullptr;
        length = 0;
        if (block_.empty() || !query_(block_.data(), sub, &value, &length)) {
            return nullptr;
        }
        return value;
    }
    std::wstring text(const wchar_t* sub) const {
        UINT length = 0;
        const auto* value = static_cast<const wchar_t*>(this->value(sub, length));
        return value != nullptr && length > 0 ? std::wstring(value, wcsnlen(value, length))
                                              : std::wstring();
    }

  private:
    std::vector<BYTE> block_;
    decltype(&::VerQueryValueW) query_ = nullptr;
};

std::wstring ownPath() {
    wchar_t path[MAX_PATH];
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}
} // namespace

ui::AppVersion readVersionRecord() {
    const VersionBlock block(ownPath());
    ui::AppVersion v;
    UINT length = 0;
    if (const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(block.value(L"\\", length));
        fixed != nullptr && length >= sizeof(VS_FIXEDFILEINFO)) {
        v.major = HIWORD(fixed->dwProductVersionMS);
        v.minor = LOWORD(fixed->dwProductVersionMS);
        v.revision = LOWORD(fixed->dwProductVersionLS);
    }
    v.productName = block.text(L"\\StringFileInfo\\080404B0\\ProductName");
    return v;
}

std::wstring versionText(const std::wstring& path, const wchar_t* name) {
    const VersionBlock block(path);
    UINT length = 0;
    const auto* pair = static_cast<const WORD*>(block.value(L"\\VarFileInfo\\Translation", length));
    if (pair == nullptr || length < 4) {
        return {};
    }
    return block.text((L"\\StringFileInfo\\" + hexadecimal(pair[0], 4) + hexadecimal(pair[1], 4) +
                       L"\\" + name)
                          .c_str());
}

} // namespace kestrave::win32
