#include "platform/win32/SingleInstance.h"

#include <string>

#include "core/text/TextFormat.h"
#include "platform/win32/FormWindow.h"
#include "platform/win32/Handles.h"

namespace kestrave::win32 {

namespace {
std::wstring imageOf(HANDLE process) {
    wchar_t path[32768];
    DWORD size = static_cast<DWORD>(std::size(path));
    return ::QueryFullProcessImageNameW(process, 0, path, &size) ? std::wstring(path, size)
                                                                   : std::wstring();
}

bool sameFile(const std::wstring& a, const std::wstring& b) {
    return !a.empty() && ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}
} // namespace

UINT activationMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"Kestrave.ComeForward");
    return message;
}

std::wstring windowLockName() {
    DWORD session = 0;
    ::ProcessIdToSessionId(::GetCurrentProcessId(), &session);
    return L"Window.Session" + decimal(session);
}

bool bringRunningWindowForward() {
    const std::wstring ours = imageOf(::GetCurrentProcess());
    for (HWND w = ::FindWindowExW(nullptr, nullptr, FormWindow::kClass, nullptr); w != nullptr;
         w = ::FindWindowExW(nullptr, w, FormWindow::kClass, nullptr)) {
        DWORD id = 0;
        ::GetWindowThreadProcessId(w, &id);
        const UniqueKernelHandle process(
            ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
        if (!process || id == ::GetCurrentProcessId() || !sameFile(imageOf(process.get()), ours)) {
            continue; // a window that only borrows the class name
        }
        ::AllowSetForegroundWindow(id);
        DWORD_PTR answer = 0;
        if (::SendMessageTimeoutW(w, activationMessage(), 0, 0, SMTO_ABORTIFHUNG, 2000, &answer) &&
            answer == static_cast<DWORD_PTR>(kCameForward)) {
            return true;
        }
    }
    return false;
}

} // namespace kestrave::win32
