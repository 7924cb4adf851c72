#include "platform/win32/Win32Registry.h"

#include "platform/win32/Win32Api.h"

namespace kestrave::win32 {

namespace {
HKEY key(RegKey k) {
    // The predefined roots are 32-bit values that the 64-bit HKEY sign-extends.
    if (k == kHkeyLocalMachine) {
        return HKEY_LOCAL_MACHINE;
    }
    return reinterpret_cast<HKEY>(k);
}
} // namespace

std::int32_t Win32Registry::RegOpenKeyExA(RegKey root, const char* subKey, std::uint32_t options,
                                          std::uint32_t access, RegKey* result) {
    HKEY opened = nullptr;
    const LONG status = ::RegOpenKeyExA(key(root), subKey, options, access, &opened);
    if (status == ERROR_SUCCESS) {
        *result = reinterpret_cast<RegKey>(opened);
    }
    return status;
}

std::int32_t Win32Registry::RegQueryValueExA(RegKey k, const char* valueName,
                                             std::uint32_t* reserved, std::uint32_t* type,
                                             std::uint8_t* data, std::uint32_t* size) {
    DWORD t = type ? *type : 0;
    DWORD s = size ? *size : 0;
    const LONG status = ::RegQueryValueExA(key(k), valueName, reinterpret_cast<DWORD*>(reserved),
                                           type ? &t : nullptr, data, size ? &s : nullptr);
    if (type != nullptr) {
        *type = t;
    }
    if (size != nullptr) {
        *size = s;
    }
    return status;
}

std::int32_t Win32Registry::RegCloseKey(RegKey k) {
    return ::RegCloseKey(key(k));
}

std::string Win32AnsiCodePage::toAnsi(const std::wstring& text) const {
    if (text.empty()) {
        return {};
    }
    const int n = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                          nullptr, nullptr);
    return out;
}

std::wstring Win32AnsiCodePage::fromAnsi(const std::string& text) const {
    if (text.empty()) {
        return {};
    }
    const int n =
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

} // namespace kestrave::win32
