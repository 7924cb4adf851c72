#include "platform/win32/Win32Registry.h"

#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32Api.h"

namespace kestrave::win32 {

std::uint32_t Win32Registry::readMachineValue(const std::wstring& subKey, const std::wstring& name,
                                              RegistryData& out) {
    UniqueRegKey key;
    if (const LONG opened = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey.c_str(), 0,
                                            KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.put());
        opened != ERROR_SUCCESS) {
        return static_cast<std::uint32_t>(opened);
    }
    // The value may grow between asking its size and reading it: ask again while it does.
    std::vector<std::uint8_t> bytes;
    for (int attempt = 0; attempt < 8; ++attempt) {
        DWORD type = REG_NONE;
        DWORD size = static_cast<DWORD>(bytes.size());
        const LONG read = ::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type,
                                             bytes.empty() ? nullptr : bytes.data(), &size);
        if (read == ERROR_SUCCESS && (!bytes.empty() || size == 0)) {
            bytes.resize(size);
            out = RegistryData{type, std::move(bytes)};
            return 0;
        }
        if (read != ERROR_SUCCESS && read != ERROR_MORE_DATA) {
            return static_cast<std::uint32_t>(read);
        }
        bytes.assign(static_cast<std::size_t>(size) + 2, 0);
    }
    return ERROR_MORE_DATA;
}

std::uint32_t Win32Registry::machineSubKeys(const std::wstring& subKey,
                                            std::vector<std::wstring>& out) {
    UniqueRegKey key;
    if (const LONG opened = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey.c_str(), 0,
                                            KEY_ENUMERATE_SUB_KEYS | KEY_WOW64_64KEY, key.put());
        opened != ERROR_SUCCESS) {
        return static_cast<std::uint32_t>(opened);
    }
    out.clear();
    for (DWORD i = 0;; ++i) {
        wchar_t name[256]; // a key's name is at most 255 characters
        DWORD size = static_cast<DWORD>(std::size(name));
        const LONG read =
            ::RegEnumKeyExW(key.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (read == ERROR_NO_MORE_ITEMS) {
            return 0;
        }
        if (read != ERROR_SUCCESS) {
            return static_cast<std::uint32_t>(read);
        }
        out.emplace_back(name, size);
    }
}

std::uint32_t Win32Registry::writeMachineDword(const std::wstring& subKey, const std::wstring& name,
                                               std::uint32_t value) {
    UniqueRegKey key;
    if (const LONG made = ::RegCreateKeyExW(
            HKEY_LOCAL_MACHINE, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
            KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, key.put(), nullptr);
        made != ERROR_SUCCESS) {
        return static_cast<std::uint32_t>(made);
    }
    const DWORD data = value;
    return static_cast<std::uint32_t>(::RegSetValueExW(
        key.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data));
}

std::uint32_t Win32Registry::writeMachineValue(const std::wstring& subKey, const std::wstring& name,
                                               const RegistryData& data) {
    UniqueRegKey key;
    if (const LONG opened = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey.c_str(), 0,
                                            KEY_SET_VALUE | KEY_WOW64_64KEY, key.put());
        opened != ERROR_SUCCESS) {
        return static_cast<std::uint32_t>(opened);
    }
    return static_cast<std::uint32_t>(
        ::RegSetValueExW(key.get(), name.c_str(), 0, data.type,
                         data.bytes.empty() ? nullptr : data.bytes.data(),
                         static_cast<DWORD>(data.bytes.size())));
}

std::uint32_t Win32Registry::deleteMachineValue(const std::wstring& subKey,
                                                const std::wstring& name) {
    UniqueRegKey key;
    if (const LONG opened = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey.c_str(), 0,
                                            KEY_SET_VALUE | KEY_WOW64_64KEY, key.put());
        opened != ERROR_SUCCESS) {
        return static_cast<std::uint32_t>(opened);
    }
    return static_cast<std::uint32_t>(::RegDeleteValueW(key.get(), name.c_str()));
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
