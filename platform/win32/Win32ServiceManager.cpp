#include "platform/win32/Win32ServiceManager.h"

#include "platform/win32/StartupTimeline.h"

#include <cstring>
#include <vector>

#include "platform/SystemError.h"

namespace kestrave::win32 {

namespace {
SC_HANDLE sc(ScHandle h) {
    return reinterpret_cast<SC_HANDLE>(h);
}
ScHandle sc(SC_HANDLE h) {
    return reinterpret_cast<ScHandle>(h);
}

void copyStatus(const SERVICE_STATUS& from, ServiceStatus& to) {
    to.serviceType = from.dwServiceType;
    to.currentState = from.dwCurrentState;
    to.controlsAccepted = from.dwControlsAccepted;
    to.win32ExitCode = from.dwWin32ExitCode;
    to.serviceSpecificExitCode = from.dwServiceSpecificExitCode;
    to.checkPoint = from.dwCheckPoint;
    to.waitHint = from.dwWaitHint;
}
} // namespace

// The error code is captured right after each call: later calls (closing handles) may change
// the thread's last-error value.
ScHandle Win32ServiceManager::OpenSCManagerW(const wchar_t* machine, const wchar_t* database,
                                             std::uint32_t access) {
    const SC_HANDLE h = ::OpenSCManagerW(machine, database, access);
    last_ = h ? 0 : ::GetLastError();
    return sc(h);
}

ScHandle Win32ServiceManager::OpenServiceW(ScHandle manager, const wchar_t* name,
                                           std::uint32_t access) {
    const SC_HANDLE h = ::OpenServiceW(sc(manager), name, access);
    last_ = h ? 0 : ::GetLastError();
    return sc(h);
}

bool Win32ServiceManager::QueryServiceStatus(ScHandle service, ServiceStatus& status) {
    SERVICE_STATUS raw{};
    const bool ok = keep(::QueryServiceStatus(sc(service), &raw));
    if (ok) {
        copyStatus(raw, status);
    }
    startup::mark(startup::kStateRead);
    return ok;
}

bool Win32ServiceManager::StartServiceW(ScHandle service, std::uint32_t argc,
                                        const wchar_t** argv) {
    return keep(::StartServiceW(sc(service), argc, argv));
}

bool Win32ServiceManager::ControlService(ScHandle service, std::uint32_t control,
                                         ServiceStatus& status) {
    SERVICE_STATUS raw{};
    const bool ok = keep(::ControlService(sc(service), control, &raw));
    copyStatus(raw, status);
    return ok;
}

bool Win32ServiceManager::CloseServiceHandle(ScHandle handle) {
    return ::CloseServiceHandle(sc(handle)) != FALSE;
}

std::uint32_t Win32ServiceManager::configRecordSize() const {
    return sizeof(QUERY_SERVICE_CONFIGW);
}

bool Win32ServiceManager::QueryServiceConfigW(ScHandle service, void* buffer, std::uint32_t size,
                                              std::uint32_t* needed) {
    DWORD need = 0;
    const bool ok = keep(::QueryServiceConfigW(
        sc(service), static_cast<QUERY_SERVICE_CONFIGW*>(buffer), size, &need));
    *needed = need;
    return ok;
}

const wchar_t* Win32ServiceManager::configStartName(const void* buffer) const {
    return static_cast<const QUERY_SERVICE_CONFIGW*>(buffer)->lpServiceStartName;
}

ScHandle Win32ServiceManager::CreateServiceW(ScHandle manager, const wchar_t* name,
                                             const wchar_t* displayName, std::uint32_t access,
                                             std::uint32_t serviceType, std::uint32_t startType,
                                             std::uint32_t errorControl, const wchar_t* binaryPath,
                                             const wchar_t* loadOrderGroup, std::uint32_t* tagId,
                                             const wchar_t* dependencies, const wchar_t* startName,
                                             const wchar_t* password) {
    DWORD tag = 0;
    const SC_HANDLE h = ::CreateServiceW(sc(manager), name, displayName, access, serviceType,
                                         startType, errorControl, binaryPath, loadOrderGroup,
                                         tagId ? &tag : nullptr, dependencies, startName, password);
    last_ = h ? 0 : ::GetLastError();
    if (tagId != nullptr) {
        *tagId = tag;
    }
    return sc(h);
}

bool Win32ServiceManager::ChangeServiceConfig2W(ScHandle service, std::uint32_t infoLevel,
                                                const wchar_t* description) {
    // Looked up at run time: systems without it still create the service, undescribed.
    using Fn = BOOL(WINAPI*)(SC_HANDLE, DWORD, LPVOID);
    const HMODULE advapi = ::GetModuleHandleW(L"advapi32.dll");
    const auto fn = advapi ? reinterpret_cast<Fn>(reinterpret_cast<void*>(
                                 ::GetProcAddress(advapi, "ChangeServiceConfig2W")))
                           : nullptr;
    if (fn == nullptr) {
        throw SystemError(ERROR_PROC_NOT_FOUND, "ChangeServiceConfig2W is not available");
    }
    SERVICE_DESCRIPTIONW info{};
    info.lpDescription = const_cast<wchar_t*>(description);
    return keep(fn(sc(service), infoLevel, &info));
}

bool Win32ServiceManager::DeleteService(ScHandle service) {
    return keep(::DeleteService(sc(service)));
}

std::uint32_t Win32ServiceManager::lastError() const {
    return last_;
}

bool Win32ServiceManager::QueryServiceProcess(ScHandle service, ServiceProcess& out) {
    SERVICE_STATUS_PROCESS raw{};
    DWORD needed = 0;
    const bool ok = keep(::QueryServiceStatusEx(
        sc(service), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&raw), sizeof raw, &needed));
    if (ok) {
        out = ServiceProcess{raw.dwCurrentState, raw.dwServiceType, raw.dwProcessId};
    }
    return ok;
}

bool Win32ServiceManager::QueryImagePath(ScHandle service, std::wstring& out) {
    DWORD needed = 0;
    ::QueryServiceConfigW(sc(service), nullptr, 0, &needed);
    // Whole records, so the buffer is aligned for the record at its start.
    std::vector<QUERY_SERVICE_CONFIGW> buffer(needed / sizeof(QUERY_SERVICE_CONFIGW) + 1);
    if (!keep(::QueryServiceConfigW(sc(service), buffer.data(),
                                    static_cast<DWORD>(buffer.size() * sizeof buffer[0]),
                                    &needed))) {
        return false;
    }
    out = buffer[0].lpBinaryPathName != nullptr ? buffer[0].lpBinaryPathName : L"";
    return true;
}

bool Win32ServiceManager::ActiveDependents(ScHandle service, std::vector<DependentService>& out) {
    out.clear();
    DWORD needed = 0;
    DWORD count = 0;
    // An empty buffer first: success means there are none, ERROR_MORE_DATA gives the size.
    if (keep(::EnumDependentServicesW(sc(service), SERVICE_ACTIVE, nullptr, 0, &needed, &count))) {
        return true;
    }
    if (last_ != ERROR_MORE_DATA) {
        return false;
    }
    std::vector<BYTE> buffer(needed);
    auto* entries = reinterpret_cast<ENUM_SERVICE_STATUSW*>(buffer.data());
    if (!keep(::EnumDependentServicesW(sc(service), SERVICE_ACTIVE, entries, needed, &needed,
                                       &count))) {
        return false;
    }
    for (DWORD i = 0; i < count; ++i) {
        out.push_back({entries[i].lpServiceName, entries[i].ServiceStatus.dwCurrentState});
    }
    return true;
}

bool Win32ServiceManager::QueryStartType(ScHandle service, std::uint32_t& startType) {
    DWORD needed = 0;
    // An empty buffer first, for the size the texts need.
    ::QueryServiceConfigW(sc(service), nullptr, 0, &needed);
    if (const DWORD code = ::GetLastError(); code != ERROR_INSUFFICIENT_BUFFER) {
        last_ = code;
        return false;
    }
    std::vector<BYTE> buffer(needed);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    if (!keep(::QueryServiceConfigW(sc(service), config, needed, &needed))) {
        return false;
    }
    startType = config->dwStartType;
    return true;
}

bool Win32ServiceManager::ChangeStartType(ScHandle service, std::uint32_t startType) {
    return keep(::ChangeServiceConfigW(sc(service), SERVICE_NO_CHANGE, startType, SERVICE_NO_CHANGE,
                                       nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                       nullptr));
}

} // namespace kestrave::win32
