#include "platform/win32/Win32ServiceManager.h"

#include "platform/win32/StartupTimeline.h"

#include <functional>
#include <vector>

namespace kestrave::win32 {

namespace {
const wchar_t* text(const std::optional<std::wstring>& s) {
    return s ? s->c_str() : nullptr;
}

// The configuration record, in a buffer of whole records so that it is aligned for the record
// at its start; a text that grows between the two queries is asked for once more.
DWORD queryConfig(SC_HANDLE service, std::vector<QUERY_SERVICE_CONFIGW>& buffer) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD needed = 0;
        const DWORD size = static_cast<DWORD>(buffer.size() * sizeof(QUERY_SERVICE_CONFIGW));
        if (::QueryServiceConfigW(service, buffer.empty() ? nullptr : buffer.data(), size,
                                  &needed)) {
            return 0;
        }
        if (const DWORD code = ::GetLastError(); code != ERROR_INSUFFICIENT_BUFFER) {
            return code;
        }
        buffer.resize(needed / sizeof(QUERY_SERVICE_CONFIGW) + 1);
    }
    return ERROR_INSUFFICIENT_BUFFER;
}
} // namespace

Win32ServiceManager::Opened Win32ServiceManager::open(const std::wstring& service, DWORD access) {
    Opened o;
    o.manager.reset(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!o.manager) {
        o.code = ::GetLastError();
        return o;
    }
    o.service.reset(::OpenServiceW(o.manager.get(), service.c_str(), access));
    if (!o.service) {
        o.code = ::GetLastError();
    }
    return o;
}

std::uint32_t Win32ServiceManager::queryStatus(const std::wstring& service, ServiceStatus& out) {
    const Opened o = open(service, SERVICE_QUERY_STATUS);
    if (!o.service) {
        return o.code;
    }
    SERVICE_STATUS raw{};
    if (!::QueryServiceStatus(o.service.get(), &raw)) {
        return ::GetLastError();
    }
    out = {raw.dwServiceType,
           raw.dwCurrentState,
           raw.dwControlsAccepted,
           raw.dwWin32ExitCode,
           raw.dwServiceSpecificExitCode,
           raw.dwCheckPoint,
           raw.dwWaitHint};
    startup::mark(startup::kStateRead);
    return 0;
}

std::uint32_t Win32ServiceManager::queryProcess(const std::wstring& service, ServiceProcess& out) {
    const Opened o = open(service, SERVICE_QUERY_STATUS);
    if (!o.service) {
        return o.code;
    }
    SERVICE_STATUS_PROCESS raw{};
    DWORD needed = 0;
    if (!::QueryServiceStatusEx(o.service.get(), SC_STATUS_PROCESS_INFO,
                                reinterpret_cast<BYTE*>(&raw), sizeof raw, &needed)) {
        return ::GetLastError();
    }
    out = ServiceProcess{raw.dwCurrentState, raw.dwServiceType, raw.dwProcessId};
    return 0;
}

std::uint32_t Win32ServiceManager::start(const std::wstring& service) {
    const Opened o = open(service, SERVICE_START);
    if (!o.service) {
        return o.code;
    }
    return ::StartServiceW(o.service.get(), 0, nullptr) ? 0 : ::GetLastError();
}

std::uint32_t Win32ServiceManager::stop(const std::wstring& service) {
    const Opened o = open(service, SERVICE_STOP);
    if (!o.service) {
        return o.code;
    }
    SERVICE_STATUS status{};
    return ::ControlService(o.service.get(), SERVICE_CONTROL_STOP, &status) ? 0 : ::GetLastError();
}

std::uint32_t Win32ServiceManager::queryAccount(const std::wstring& service, std::wstring& out) {
    return withConfig(service, [&](const QUERY_SERVICE_CONFIGW& c) {
        out = c.lpServiceStartName != nullptr ? c.lpServiceStartName : L"";
    });
}

std::uint32_t Win32ServiceManager::queryImagePath(const std::wstring& service, std::wstring& out) {
    return withConfig(service, [&](const QUERY_SERVICE_CONFIGW& c) {
        out = c.lpBinaryPathName != nullptr ? c.lpBinaryPathName : L"";
    });
}

std::uint32_t Win32ServiceManager::queryStartType(const std::wstring& service, std::uint32_t& out) {
    return withConfig(service, [&](const QUERY_SERVICE_CONFIGW& c) { out = c.dwStartType; });
}

std::uint32_t Win32ServiceManager::withConfig(
    const std::wstring& service, const std::function<void(const QUERY_SERVICE_CONFIGW&)>& take) {
    const Opened o = open(service, SERVICE_QUERY_CONFIG);
    if (!o.service) {
        return o.code;
    }
    std::vector<QUERY_SERVICE_CONFIGW> buffer;
    if (const DWORD code = queryConfig(o.service.get(), buffer); code != 0) {
        return code;
    }
    take(buffer[0]);
    return 0;
}

std::uint32_t Win32ServiceManager::changeStartType(const std::wstring& service,
                                                   std::uint32_t startType) {
    const Opened o = open(service, SERVICE_CHANGE_CONFIG);
    if (!o.service) {
        return o.code;
    }
    return ::ChangeServiceConfigW(o.service.get(), SERVICE_NO_CHANGE, startType, SERVICE_NO_CHANGE,
                                  nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr)
               ? 0
               : ::GetLastError();
}

std::uint32_t Win32ServiceManager::activeDependents(const std::wstring& service,
                                                    std::vector<DependentService>& out) {
    out.clear();
    const Opened o = open(service, SERVICE_ENUMERATE_DEPENDENTS);
    if (!o.service) {
        return o.code;
    }
    DWORD needed = 0;
    DWORD count = 0;
    // An empty buffer first: success means there are none, ERROR_MORE_DATA gives the size.
    if (::EnumDependentServicesW(o.service.get(), SERVICE_ACTIVE, nullptr, 0, &needed, &count)) {
        return 0;
    }
    if (const DWORD code = ::GetLastError(); code != ERROR_MORE_DATA) {
        return code;
    }
    std::vector<BYTE> buffer(needed);
    auto* entries = reinterpret_cast<ENUM_SERVICE_STATUSW*>(buffer.data());
    if (!::EnumDependentServicesW(o.service.get(), SERVICE_ACTIVE, entries, needed, &needed,
                                  &count)) {
        return ::GetLastError();
    }
    for (DWORD i = 0; i < count; ++i) {
        out.push_back({entries[i].lpServiceName, entries[i].ServiceStatus.dwCurrentState});
    }
    return 0;
}

std::uint32_t Win32ServiceManager::create(const NewService& made) {
    const UniqueScHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
    if (!manager) {
        return ::GetLastError();
    }
    const UniqueScHandle service(
        ::CreateServiceW(manager.get(), text(made.name), text(made.displayName), SERVICE_ALL_ACCESS,
                         made.serviceType, made.startType, SERVICE_ERROR_NORMAL, text(made.command),
                         nullptr, nullptr, nullptr, made.account.c_str(), text(made.password)));
    if (!service) {
        return ::GetLastError();
    }
    // Looked up at run time: a system without it still has the service, undescribed.
    using Fn = BOOL(WINAPI*)(SC_HANDLE, DWORD, LPVOID);
    const HMODULE advapi = ::GetModuleHandleW(L"advapi32.dll");
    if (const auto describe = advapi ? reinterpret_cast<Fn>(reinterpret_cast<void*>(
                                           ::GetProcAddress(advapi, "ChangeServiceConfig2W")))
                                     : nullptr) {
        SERVICE_DESCRIPTIONW info{};
        info.lpDescription = const_cast<wchar_t*>(text(made.description));
        describe(service.get(), SERVICE_CONFIG_DESCRIPTION, &info);
    }
    return 0;
}

std::uint32_t Win32ServiceManager::remove(const std::wstring& service) {
    const Opened o = open(service, SERVICE_ALL_ACCESS);
    if (!o.service) {
        return o.code;
    }
    SERVICE_STATUS status{};
    ::ControlService(o.service.get(), SERVICE_CONTROL_STOP, &status); // deleted all the same
    return ::DeleteService(o.service.get()) ? 0 : ::GetLastError();
}

} // namespace kestrave::win32
