#include "platform/win32/SingleInstance.h"

namespace kestrave::win32 {

bool Win32OperationLock::tryAcquire() {
    if (!mutex_) {
        mutex_.reset(::CreateMutexW(nullptr, FALSE, L"Global\\Kestrave.SpoolerOperation"));
        if (!mutex_) {
            return false;
        }
    }
    // A holder that died without releasing leaves it abandoned: then it is ours.
    const DWORD r = ::WaitForSingleObject(mutex_.get(), 0);
    return r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
}

void Win32OperationLock::release() {
    ::ReleaseMutex(mutex_.get());
}

SingleWindowInstance::SingleWindowInstance()
    : mutex_(::CreateMutexW(nullptr, FALSE, L"Local\\Kestrave.Window")) {
    first_ = !mutex_ || ::GetLastError() != ERROR_ALREADY_EXISTS;
}

UINT SingleWindowInstance::activationMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"Kestrave.ComeForward");
    return message;
}

void SingleWindowInstance::bringFirstForward() {
    // The running window may take the foreground from us.
    ::AllowSetForegroundWindow(ASFW_ANY);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(HWND_BROADCAST, activationMessage(), 0, 0, SMTO_ABORTIFHUNG, 2000,
                          &ignored);
}

} // namespace kestrave::win32
