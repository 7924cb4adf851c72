#include <gtest/gtest.h>

#include <cstdlib>
#include <cwchar>
#include <string>

#include "platform/win32/Win32Api.h"

#include <objbase.h>
#include "tests/wine/WineSupport.h"

namespace kestrave::test {

DWORD serviceState(const wchar_t* name) {
    SC_HANDLE m = ::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE s = m ? ::OpenServiceW(m, name, SERVICE_QUERY_STATUS) : nullptr;
    SERVICE_STATUS st{};
    const DWORD state = (s && ::QueryServiceStatus(s, &st)) ? st.dwCurrentState : 0;
    if (s) {
        ::CloseServiceHandle(s);
    }
    if (m) {
        ::CloseServiceHandle(m);
    }
    return state;
}

bool serviceTo(const wchar_t* name, DWORD state) {
    SC_HANDLE m = ::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE s =
        m ? ::OpenServiceW(m, name, SERVICE_START | SERVICE_STOP | SERVICE_QUERY_STATUS) : nullptr;
    if (s) {
        SERVICE_STATUS st{};
        if (state == SERVICE_RUNNING) {
            ::StartServiceW(s, 0, nullptr);
        } else {
            ::ControlService(s, SERVICE_CONTROL_STOP, &st);
        }
        ::CloseServiceHandle(s);
    }
    if (m) {
        ::CloseServiceHandle(m);
    }
    for (int i = 0; i < 200; ++i) {
        if (serviceState(name) == state) {
            return true;
        }
        pumpFor(50);
    }
    return false;
}

} // namespace kestrave::test

// The test program doubles as the child programs some tests start:
//   --exit N     ends at once with exit code N
//   --sleep MS   sleeps, then ends with 0
// and, copied under the name sc.exe, it leaves a marker file beside itself.
int main(int argc, char** argv) {
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    const std::wstring base = path.substr(path.find_last_of(L'\\') + 1);
    if (_wcsicmp(base.c_str(), L"sc.exe") == 0) {
        const std::wstring marker = path.substr(0, path.find_last_of(L'\\')) + L"\\planted-ran";
        HANDLE h =
            ::CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            ::CloseHandle(h);
        }
        return 0;
    }
    if (argc >= 3 && std::string(argv[1]) == "--exit") {
        return static_cast<int>(std::strtoul(argv[2], nullptr, 10));
    }
    if (argc >= 3 && std::string(argv[1]) == "--sleep") {
        ::Sleep(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)));
        return 0;
    }
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
