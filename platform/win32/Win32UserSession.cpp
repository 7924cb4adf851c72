#include "platform/win32/Win32UserSession.h"

#include "platform/win32/FileTrust.h"

#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32Api.h"

namespace kestrave::win32 {

namespace {
constexpr wchar_t kWindowsKey[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
constexpr wchar_t kLegacyMode[] = L"LegacyDefaultPrinterMode";

// The real version: GetVersionEx answers what the manifest lists, ntdll does not.
DWORD windowsMajorVersion() {
    using GetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    const auto get = reinterpret_cast<GetVersionFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    return get != nullptr && get(&info) == 0 ? info.dwMajorVersion : 0;
}

PSID sidOf(std::vector<BYTE>& sid) {
    return reinterpret_cast<PSID>(sid.data());
}
} // namespace

bool Win32UserSession::windowsManagesDefaultPrinter() {
    if (windowsMajorVersion() < 10) {
        return false;
    }
    DWORD value = 0;
    DWORD size = sizeof value;
    const LSTATUS read = ::RegGetValueW(HKEY_CURRENT_USER, kWindowsKey, kLegacyMode,
                                        RRF_RT_REG_DWORD, nullptr, &value, &size);
    return read != ERROR_SUCCESS || value == 0;
}

std::uint32_t Win32UserSession::stopWindowsManagingDefaultPrinter() {
    HKEY raw = nullptr;
    const LSTATUS opened = ::RegCreateKeyExW(HKEY_CURRENT_USER, kWindowsKey, 0, nullptr, 0,
                                             KEY_SET_VALUE, nullptr, &raw, nullptr);
    if (opened != ERROR_SUCCESS) {
        return static_cast<std::uint32_t>(opened);
    }
    const UniqueRegKey key(raw);
    const DWORD one = 1;
    return static_cast<std::uint32_t>(::RegSetValueExW(
        key.get(), kLegacyMode, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one));
}

std::optional<std::wstring> Win32UserSession::accountIfNotDesktopUser() {
    // Looked up, not imported: the console program has no window system to ask (user32 is
    // not loaded there), and only the windows ask this.
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    const auto shellWindow = reinterpret_cast<decltype(&::GetShellWindow)>(
        reinterpret_cast<void*>(user32 ? ::GetProcAddress(user32, "GetShellWindow") : nullptr));
    const auto threadProcess = reinterpret_cast<decltype(&::GetWindowThreadProcessId)>(
        reinterpret_cast<void*>(user32 ? ::GetProcAddress(user32, "GetWindowThreadProcessId")
                                       : nullptr));
    DWORD shellPid = 0;
    const HWND shell = shellWindow ? shellWindow() : nullptr;
    if (shell == nullptr || threadProcess(shell, &shellPid) == 0) {
        return std::nullopt;
    }
    const UniqueKernelHandle shellProcess(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, shellPid));
    if (!shellProcess) {
        return std::nullopt;
    }
    std::vector<BYTE> desktopUser = accountOf(shellProcess.get());
    std::vector<BYTE> ownUser = accountOf(::GetCurrentProcess());
    if (desktopUser.empty() || ownUser.empty() || ::EqualSid(sidOf(desktopUser), sidOf(ownUser))) {
        return std::nullopt;
    }
    wchar_t name[256];
    wchar_t domain[256];
    DWORD nameSize = 256;
    DWORD domainSize = 256;
    SID_NAME_USE use{};
    if (!::LookupAccountSidW(nullptr, sidOf(ownUser), name, &nameSize, domain, &domainSize, &use)) {
        return std::nullopt;
    }
    return std::wstring(domain) + L"\\" + name;
}

} // namespace kestrave::win32
