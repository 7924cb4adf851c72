#pragma once
// Small helpers shared by the Windows test program, the benchmark and the driver.
#include <string>
#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32Api.h"

namespace kestrave::testhelp {

inline std::wstring selfPath() {
    wchar_t p[MAX_PATH];
    ::GetModuleFileNameW(nullptr, p, MAX_PATH);
    return p;
}

// A window's text, also from another process's window. One whose thread looks hung (busy for
// seconds between two reads of its queue) is not asked: the system's copy of its text is read.
inline std::wstring windowText(HWND hwnd) {
    wchar_t buf[1024] = {};
    if (::SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buf),
                              SMTO_ABORTIFHUNG, 5000, nullptr) == 0) {
        ::InternalGetWindowText(hwnd, buf, 1024);
    }
    return buf;
}

// A window's children, top of the stacking order first.
inline std::vector<HWND> children(HWND parent) {
    std::vector<HWND> out;
    for (HWND c = ::GetWindow(parent, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        out.push_back(c);
    }
    return out;
}

inline std::wstring folderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\'));
}

// Processor time, user and kernel, that a process has used so far.
inline double cpuSeconds(HANDLE process = ::GetCurrentProcess()) {
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(process, &created, &exited, &kernel, &user);
    const auto ticks = [](FILETIME f) {
        return (static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;
}

// A service's current state through the real manager; 0 when it cannot be read.
inline DWORD serviceState(const wchar_t* name) {
    const win32::UniqueScHandle m(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    const win32::UniqueScHandle s(m ? ::OpenServiceW(m.get(), name, SERVICE_QUERY_STATUS)
                                    : nullptr);
    SERVICE_STATUS st{};
    return (s && ::QueryServiceStatus(s.get(), &st)) ? st.dwCurrentState : 0;
}

// Asks a service to start (SERVICE_RUNNING) or stop (anything else); does not wait.
inline void requestServiceState(const wchar_t* name, DWORD state) {
    const win32::UniqueScHandle m(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    const win32::UniqueScHandle s(m ? ::OpenServiceW(m.get(), name, SERVICE_START | SERVICE_STOP)
                                    : nullptr);
    if (!s) {
        return;
    }
    SERVICE_STATUS st{};
    if (state == SERVICE_RUNNING) {
        ::StartServiceW(s.get(), 0, nullptr);
    } else {
        ::ControlService(s.get(), SERVICE_CONTROL_STOP, &st);
    }
}

// Run under the name sc.exe (planted beside the program under test), leaves a marker file
// "planted-ran" beside itself and says so; otherwise does nothing.
inline bool actAsPlantedSc() {
    const std::wstring self = selfPath();
    const std::wstring base = self.substr(self.find_last_of(L'\\') + 1);
    if (_wcsicmp(base.c_str(), L"sc.exe") != 0) {
        return false;
    }
    HANDLE h = ::CreateFileW((folderOf(self) + L"\\planted-ran").c_str(), GENERIC_WRITE, 0, nullptr,
                             CREATE_ALWAYS, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        ::CloseHandle(h);
    }
    return true;
}

// A service's configured start type through the real manager; 0 when it cannot be read.
inline DWORD serviceStartType(const wchar_t* name) {
    const win32::UniqueScHandle m(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    const win32::UniqueScHandle s(m ? ::OpenServiceW(m.get(), name, SERVICE_QUERY_CONFIG)
                                    : nullptr);
    DWORD needed = 0;
    if (!s) {
        return 0;
    }
    ::QueryServiceConfigW(s.get(), nullptr, 0, &needed);
    std::string buffer(needed, '\0');
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    return ::QueryServiceConfigW(s.get(), config, needed, &needed) ? config->dwStartType : 0;
}

// Sets a service's start type through the real manager.
inline bool setServiceStartType(const wchar_t* name, DWORD type) {
    const win32::UniqueScHandle m(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    const win32::UniqueScHandle s(m ? ::OpenServiceW(m.get(), name, SERVICE_CHANGE_CONFIG)
                                    : nullptr);
    return s && ::ChangeServiceConfigW(s.get(), SERVICE_NO_CHANGE, type, SERVICE_NO_CHANGE, nullptr,
                                       nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
}

} // namespace kestrave::testhelp
