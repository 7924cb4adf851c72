#include "tests/driver/HungService.h"

#include <vector>

#include "tests/common/Win32TestHelpers.h"

namespace kestrave::driver {

namespace {
SERVICE_STATUS_HANDLE statusHandle = nullptr;
SERVICE_STATUS status{};
HANDLE never = nullptr;

void report(DWORD state) {
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    status.dwWaitHint = state == SERVICE_STOP_PENDING ? 60000 : 0;
    ::SetServiceStatus(statusHandle, &status);
}

DWORD WINAPI control(DWORD code, DWORD, void*, void*) {
    if (code == SERVICE_CONTROL_STOP) {
        report(SERVICE_STOP_PENDING); // and nothing more: it hangs
    }
    return NO_ERROR;
}

void WINAPI serviceMain(DWORD, wchar_t**) {
    statusHandle = ::RegisterServiceCtrlHandlerExW(L"Spooler", control, nullptr);
    report(SERVICE_RUNNING);
    ::WaitForSingleObject(never, INFINITE);
}

std::vector<BYTE> config(SC_HANDLE service) {
    DWORD needed = 0;
    ::QueryServiceConfigW(service, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed + 64);
    ::QueryServiceConfigW(service, reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data()),
                          static_cast<DWORD>(buffer.size()), &needed);
    return buffer;
}

bool setBinary(const std::wstring& binary) {
    const win32::UniqueScHandle m(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    const win32::UniqueScHandle s(m ? ::OpenServiceW(m.get(), L"Spooler", SERVICE_CHANGE_CONFIG)
                                    : nullptr);
    return s && ::ChangeServiceConfigW(s.get(), SERVICE_NO_CHANGE, SERVICE_NO_CHANGE,
                                       SERVICE_NO_CHANGE, binary.c_str(), nullptr, nullptr, nullptr,
                                       nullptr, nullptr, nullptr);
}
} // namespace

bool runAsHungServiceIfAsked() {
    if (std::wstring(::GetCommandLineW()).find(L"--hung-service") == std::wstring::npos) {
        return false;
    }
    never = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SERVICE_TABLE_ENTRYW table[] = {{const_cast<wchar_t*>(L"Spooler"), serviceMain},
                                    {nullptr, nullptr}};
    ::StartServiceCtrlDispatcherW(table);
    return true;
}

void endServiceProcess(const wchar_t* name) {
    const win32::UniqueScHandle m(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    const win32::UniqueScHandle s(m ? ::OpenServiceW(m.get(), name, SERVICE_QUERY_STATUS)
                                    : nullptr);
    SERVICE_STATUS_PROCESS st{};
    DWORD needed = 0;
    if (s &&
        ::QueryServiceStatusEx(s.get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&st),
                               sizeof st, &needed) &&
        st.dwProcessId != 0) {
        const win32::UniqueKernelHandle p(
            ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, st.dwProcessId));
        if (p) {
            ::TerminateProcess(p.get(), 1);
            ::WaitForSingleObject(p.get(), 10000);
        }
    }
}

HungSpooler::HungSpooler(const std::wstring& binary) {
    const win32::UniqueScHandle m(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    const win32::UniqueScHandle s(m ? ::OpenServiceW(m.get(), L"Spooler", SERVICE_QUERY_CONFIG)
                                    : nullptr);
    if (!s) {
        return;
    }
    const std::vector<BYTE> buffer = config(s.get());
    original_ = reinterpret_cast<const QUERY_SERVICE_CONFIGW*>(buffer.data())->lpBinaryPathName;
    ready_ = setBinary(L"\"" + binary + L"\" --hung-service");
}

HungSpooler::~HungSpooler() {
    if (original_.empty()) {
        return;
    }
    // The stand-in never stops by itself.
    testhelp::requestServiceState(L"Spooler", SERVICE_STOPPED);
    ::Sleep(300);
    endServiceProcess(L"Spooler");
    setBinary(original_);
}

} // namespace kestrave::driver
