// Keys as a whole: read, made again exactly (security descriptors included, which
// RegCopyTreeW leaves behind), removed; and the key only administrators may change.
#include "platform/win32/Win32Registry.h"

#include <aclapi.h>
#include <sddl.h>

#include "platform/win32/FileTrust.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Api.h"

namespace kestrave::win32 {

namespace {
constexpr int kDeepest = 32; // plug-in keys are shallow; deeper is no key of theirs
constexpr SECURITY_INFORMATION kWhole =
    OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;

std::uint32_t readValues(HKEY key, RegistryKeyCopy& out) {
    DWORD longestName = 0;
    DWORD longestData = 0;
    if (const LONG info = ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr,
                                             nullptr, nullptr, &longestName, &longestData, nullptr,
                                             nullptr);
        info != ERROR_SUCCESS) {
        return static_cast<std::uint32_t>(info);
    }
    std::vector<wchar_t> name(longestName + 2);
    std::vector<std::uint8_t> data(longestData + 2);
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = REG_NONE;
        const LONG read = ::RegEnumValueW(key, i, name.data(), &nameSize, nullptr, &type,
                                          data.data(), &dataSize);
        if (read == ERROR_NO_MORE_ITEMS) {
            return 0;
        }
        if (read == ERROR_MORE_DATA) {
            // Grown since it was measured: measure again and read this one afresh.
            name.resize(name.size() * 2 + 256);
            data.resize(std::max<std::size_t>(data.size() * 2, dataSize + 2));
            --i;
            continue;
        }
        if (read != ERROR_SUCCESS) {
            return static_cast<std::uint32_t>(read);
        }
        out.values.emplace_back(std::wstring(name.data(), nameSize),
                                RegistryData{type, {data.begin(), data.begin() + dataSize}});
    }
}

std::uint32_t readSecurity(HKEY key, RegistryKeyCopy& out) {
    DWORD size = 0;
    LONG read = ::RegGetKeySecurity(key, kWhole, nullptr, &size);
    if (read != ERROR_INSUFFICIENT_BUFFER) {
        return static_cast<std::uint32_t>(read == ERROR_SUCCESS ? ERROR_INVALID_DATA : read);
    }
    out.security.resize(size);
    read = ::RegGetKeySecurity(key, kWhole, out.security.data(), &size);
    return static_cast<std::uint32_t>(read);
}

std::uint32_t readTree(HKEY key, RegistryKeyCopy& out, int depth) {
    if (depth > kDeepest) {
        return ERROR_INVALID_DATA;
    }
    if (const std::uint32_t code = readValues(key, out); code != 0) {
        return code;
    }
    if (const std::uint32_t code = readSecurity(key, out); code != 0) {
        return code;
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[256]; // a key's name is at most 255 characters
        DWORD size = static_cast<DWORD>(std::size(name));
        const LONG read = ::RegEnumKeyExW(key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (read == ERROR_NO_MORE_ITEMS) {
            return 0;
        }
        if (read != ERROR_SUCCESS) {
            return static_cast<std::uint32_t>(read);
        }
        RegistryKeyCopy sub;
        sub.name.assign(name, size);
        UniqueRegKey child;
        if (const LONG opened = ::RegOpenKeyExW(key, sub.name.c_str(), REG_OPTION_OPEN_LINK,
                                                KEY_READ | READ_CONTROL, child.put());
            opened != ERROR_SUCCESS) {
            return static_cast<std::uint32_t>(opened);
        }
        if (const std::uint32_t code = readTree(child.get(), sub, depth + 1); code != 0) {
            return code;
        }
        out.subkeys.push_back(std::move(sub));
    }
}

// Setting an owner other than oneself (SYSTEM, TrustedInstaller) takes the restore
// privilege, which administrators hold but do not enable: enabled for that one call.
LONG setSecurity(HKEY key, const std::vector<std::uint8_t>& descriptor) {
    auto* sd = const_cast<std::uint8_t*>(descriptor.data());
    LONG set = ::RegSetKeySecurity(key, kWhole, sd);
    if (set != ERROR_INVALID_OWNER) {
        return set;
    }
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) {
        return set;
    }
    const UniqueKernelHandle token(raw);
    TOKEN_PRIVILEGES wanted{1, {{{0, 0}, SE_PRIVILEGE_ENABLED}}};
    TOKEN_PRIVILEGES before{};
    DWORD beforeSize = sizeof before;
    if (!::LookupPrivilegeValueW(nullptr, SE_RESTORE_NAME, &wanted.Privileges[0].Luid) ||
        !::AdjustTokenPrivileges(token.get(), FALSE, &wanted, sizeof before, &before,
                                 &beforeSize) ||
        ::GetLastError() != ERROR_SUCCESS) {
        return set;
    }
    set = ::RegSetKeySecurity(key, kWhole, sd);
    ::AdjustTokenPrivileges(token.get(), FALSE, &before, 0, nullptr, nullptr);
    return set;
}

std::uint32_t makeTree(HKEY key, const RegistryKeyCopy& copy, bool withSecurity, int depth) {
    if (depth > kDeepest) {
        return ERROR_INVALID_DATA;
    }
    for (const auto& [name, data] : copy.values) {
        if (const LONG set = ::RegSetValueExW(key, name.c_str(), 0, data.type,
                                              data.bytes.empty() ? nullptr : data.bytes.data(),
                                              static_cast<DWORD>(data.bytes.size()));
            set != ERROR_SUCCESS) {
            return static_cast<std::uint32_t>(set);
        }
    }
    for (const RegistryKeyCopy& sub : copy.subkeys) {
        UniqueRegKey child;
        DWORD disposition = 0;
        if (const LONG made =
                ::RegCreateKeyExW(key, sub.name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, child.put(), &disposition);
            made != ERROR_SUCCESS) {
            return static_cast<std::uint32_t>(made);
        }
        if (disposition != REG_CREATED_NEW_KEY) {
            return ERROR_ALREADY_EXISTS; // two subkeys of one name: no copy of a real key
        }
        if (const std::uint32_t code = makeTree(child.get(), sub, withSecurity, depth + 1);
            code != 0) {
            return code;
        }
    }
    // Last, once everything inside is made: the handle keeps its rights whatever it sets.
    if (withSecurity && !copy.security.empty()) {
        if (::IsValidSecurityDescriptor(const_cast<std::uint8_t*>(copy.security.data())) ==
            FALSE) {
            return ERROR_INVALID_SECURITY_DESCR;
        }
        return static_cast<std::uint32_t>(setSecurity(key, copy.security));
    }
    return 0;
}

// The key above and the last name, for the calls that take a parent.
std::pair<std::wstring, std::wstring> split(const std::wstring& subKey) {
    const std::size_t at = subKey.rfind(L'\\');
    return at == std::wstring::npos ? std::pair{std::wstring{}, subKey}
                                    : std::pair{subKey.substr(0, at), subKey.substr(at + 1)};
}
} // namespace

std::uint32_t Win32Registry::readMachineKey(const std::wstring& subKey, RegistryKeyCopy& out) {
    UniqueRegKey key;
    if (const LONG opened = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey.c_str(), REG_OPTION_OPEN_LINK,
                                            KEY_READ | READ_CONTROL | KEY_WOW64_64KEY, key.put());
        opened != ERROR_SUCCESS) {
        return static_cast<std::uint32_t>(opened);
    }
    RegistryKeyCopy copy;
    copy.name = subKey;
    if (const std::uint32_t code = readTree(key.get(), copy, 0); code != 0) {
        return code;
    }
    out = std::move(copy);
    return 0;
}

std::uint32_t Win32Registry::createMachineKey(const std::wstring& subKey,
                                              const RegistryKeyCopy& copy, bool withSecurity) {
    UniqueRegKey key;
    DWORD disposition = 0;
    if (const LONG made = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, nullptr,
                                            REG_OPTION_NON_VOLATILE,
                                            KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, key.put(),
                                            &disposition);
        made != ERROR_SUCCESS) {
        return static_cast<std::uint32_t>(made);
    }
    if (disposition != REG_CREATED_NEW_KEY) {
        return ERROR_ALREADY_EXISTS; // someone else's now: never written over
    }
    const std::uint32_t code = makeTree(key.get(), copy, withSecurity, 0);
    key.reset();
    if (code != 0) {
        deleteMachineKey(subKey); // ours alone: made a moment ago
    }
    return code;
}

std::uint32_t Win32Registry::deleteMachineKey(const std::wstring& subKey) {
    const auto [above, name] = split(subKey);
    UniqueRegKey parent;
    if (const LONG opened =
            ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, above.c_str(), 0,
                            KEY_READ | KEY_SET_VALUE | DELETE | KEY_WOW64_64KEY, parent.put());
        opened != ERROR_SUCCESS) {
        return static_cast<std::uint32_t>(opened);
    }
    return static_cast<std::uint32_t>(::RegDeleteTreeW(parent.get(), name.c_str()));
}

std::uint32_t Win32Registry::secureMachineKey(const std::wstring& subKey) {
    // Protected: nothing inherited from above; OICI: what is made inside inherits it. O:BA, as
    // for the folder of kept jobs: an administrator's own account would not be trusted.
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(
            L"O:BAD:P(A;OICI;KA;;;SY)(A;OICI;KA;;;BA)", SDDL_REVISION_1, &descriptor, nullptr)) {
        return ::GetLastError();
    }
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    UniqueRegKey key;
    const LONG made = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, nullptr,
                                        REG_OPTION_NON_VOLATILE, READ_CONTROL | KEY_WOW64_64KEY,
                                        &attributes, key.put(), nullptr);
    ::LocalFree(descriptor);
    if (made != ERROR_SUCCESS) {
        return static_cast<std::uint32_t>(made);
    }
    // Made now or long ago, judged the same way, through the handle.
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR read = nullptr;
    if (const DWORD got = ::GetSecurityInfo(key.get(), SE_REGISTRY_KEY,
                                            OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                            &owner, nullptr, &dacl, nullptr, &read);
        got != ERROR_SUCCESS) {
        return got;
    }
    const bool safe = isTrustedAccount(owner) &&
                      grantsWithin(dacl, KEY_READ | FILE_GENERIC_READ, Inherited::OnlyByWhatIsMadeInside);
    ::LocalFree(read);
    return safe ? 0 : ERROR_ACCESS_DENIED;
}

} // namespace kestrave::win32
