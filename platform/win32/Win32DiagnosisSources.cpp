#include "platform/win32/Win32DiagnosisSources.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <vector>

#include "platform/SystemError.h"
#include "platform/win32/Handles.h"
#include "platform/win32/NativeFileNames.h"
#include "platform/win32/VersionRecord.h"
#include "platform/win32/Win32Api.h"

#include <winspool.h>

namespace kestrave::win32 {

namespace {
constexpr wchar_t kPrintKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Print";

// The subkeys of a key and each one's Driver value.
std::vector<PlugIn> plugInsUnder(const std::wstring& path) {
    std::vector<PlugIn> out;
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &raw) != ERROR_SUCCESS) {
        return out;
    }
    const UniqueRegKey key(raw);
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD size = 256;
        if (::RegEnumKeyExW(key.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        wchar_t driver[MAX_PATH] = {};
        DWORD bytes = sizeof driver;
        // Some systems hand back a string stored without its terminator as a success: the
        // text ends where the bytes read end, never past the buffer.
        if (::RegGetValueW(key.get(), name, L"Driver", RRF_RT_REG_SZ, nullptr, driver, &bytes) !=
            ERROR_SUCCESS) {
            bytes = 0;
        }
        const std::size_t units = std::min<std::size_t>(bytes / sizeof(wchar_t), MAX_PATH);
        out.push_back({name, std::wstring(driver, ::wcsnlen(driver, units)), {}});
    }
    return out;
}

ULONGLONG ticks(const FILETIME& f) {
    return (static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime;
}

FILETIME now() {
    FILETIME f{};
    ::GetSystemTimeAsFileTime(&f);
    return f;
}
} // namespace

std::optional<ServiceDetails> Win32DiagnosisSources::serviceDetails(const std::wstring& service) {
    const UniqueScHandle m(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    const UniqueScHandle s(m ? ::OpenServiceW(m.get(), service.c_str(), SERVICE_QUERY_CONFIG)
                             : nullptr);
    if (!s) {
        return std::nullopt;
    }
    DWORD needed = 0;
    ::QueryServiceConfigW(s.get(), nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed + 16);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    if (!::QueryServiceConfigW(s.get(), config, static_cast<DWORD>(buffer.size()), &needed)) {
        return std::nullopt;
    }
    ServiceDetails d;
    d.displayName = config->lpDisplayName ? config->lpDisplayName : L"";
    d.imagePath = config->lpBinaryPathName ? config->lpBinaryPathName : L"";
    for (const wchar_t* p = config->lpDependencies; p != nullptr && *p != L'\0';
         p += wcslen(p) + 1) {
        d.dependsOn.emplace_back(p);
    }
    needed = 0;
    ::QueryServiceConfig2W(s.get(), SERVICE_CONFIG_FAILURE_ACTIONS, nullptr, 0, &needed);
    std::vector<BYTE> actions(needed + 16);
    if (needed != 0 &&
        ::QueryServiceConfig2W(s.get(), SERVICE_CONFIG_FAILURE_ACTIONS, actions.data(),
                               static_cast<DWORD>(actions.size()), &needed)) {
        const auto* fa = reinterpret_cast<const SERVICE_FAILURE_ACTIONSW*>(actions.data());
        for (DWORD i = 0; i < fa->cActions; ++i) {
            d.recovery.push_back(
                {static_cast<std::uint32_t>(fa->lpsaActions[i].Type), fa->lpsaActions[i].Delay});
        }
    }
    return d;
}

std::wstring Win32DiagnosisSources::spoolerEnvironment() {
    // The spooler is of this machine's own architecture, whichever program asks.
    BOOL wow64 = FALSE;
    ::IsWow64Process(::GetCurrentProcess(), &wow64);
    return sizeof(void*) == 8 || wow64 ? L"Windows x64" : L"Windows NT x86";
}

std::vector<PlugIn> Win32DiagnosisSources::printProcessors() {
    const bool x64 = spoolerEnvironment() == L"Windows x64";
    std::vector<PlugIn> found = plugInsUnder(std::wstring(kPrintKey) + L"\\Environments\\" +
                                             spoolerEnvironment() + L"\\Print Processors");
    // Processors live in the spooler's own folder for them, not in System32.
    const std::wstring folder = nativeSystemDirectory() + L"\\spool\\prtprocs\\" + (x64 ? L"x64" : L"W32X86");
    for (PlugIn& p : found) {
        if (p.driver.find(L'\\') == std::wstring::npos) {
            p.path = folder + L"\\" + p.driver;
        }
    }
    return found;
}

std::vector<PlugIn> Win32DiagnosisSources::portMonitors() {
    return plugInsUnder(std::wstring(kPrintKey) + L"\\Monitors");
}

SystemFile Win32DiagnosisSources::systemFile(const std::wstring& name) {
    // A bare name is the 64-bit System32's, where the 32-bit program runs on 64-bit Windows.
    const std::wstring path =
        name.find(L'\\') != std::wstring::npos ? name : nativeSystemDirectory() + L"\\" + name;
    SystemFile f;
    f.exists = !name.empty() && ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (f.exists) {
        f.company = versionText(path, L"CompanyName");
    }
    return f;
}

std::wstring Win32DiagnosisSources::systemMaker() {
    return versionText(nativeSystemDirectory() + L"\\kernel32.dll", L"CompanyName");
}

std::vector<PrinterDetails> Win32DiagnosisSources::printers() {
    const auto enumFn = winspool_.get<decltype(&::EnumPrintersW)>("EnumPrintersW");
    if (!enumFn) {
        throw SystemError(ERROR_PROC_NOT_FOUND, "winspool.drv is missing");
    }
    const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    DWORD needed = 0;
    DWORD count = 0;
    enumFn(flags, nullptr, 2, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed + 16);
    if (!enumFn(flags, nullptr, 2, buffer.data(), static_cast<DWORD>(buffer.size()), &needed,
                &count)) {
        throw SystemError(::GetLastError(), "cannot list the printers");
    }
    std::vector<PrinterDetails> out;
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        const auto text = [](const wchar_t* s) { return s ? std::wstring(s) : std::wstring(); };
        out.push_back({text(info[i].pPrinterName), text(info[i].pDriverName),
                       text(info[i].pPortName), info[i].Status, info[i].cJobs});
    }
    return out;
}

std::vector<QueuedFile> Win32DiagnosisSources::queuedFiles(const std::wstring& folder) {
    std::vector<QueuedFile> out;
    WIN32_FIND_DATAW data{};
    UniqueFindHandle find(::FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data,
                                             FindExSearchNameMatch, nullptr, 0));
    if (!find) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_FILE_NOT_FOUND) {
            return out;
        }
        throw SystemError(code, "cannot list the folder");
    }
    const ULONGLONG current = ticks(now());
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            continue;
        }
        const ULONGLONG written = ticks(data.ftLastWriteTime);
        out.push_back(
            {data.cFileName,
             (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
             current > written ? static_cast<std::int64_t>((current - written) / 10000000) : 0});
    } while (::FindNextFileW(find.get(), &data));
    return out;
}

std::optional<std::uint32_t> Win32DiagnosisSources::restrictDriverInstallation() {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE,
                       L"Software\\Policies\\Microsoft\\Windows NT\\Printers\\PointAndPrint",
                       L"RestrictDriverInstallationToAdministrators", RRF_RT_REG_DWORD, nullptr,
                       &value, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

} // namespace kestrave::win32
