#include "platform/win32/MessageLoop.h"

namespace kestrave::win32 {

void MessageLoop::dispatch(MSG& msg) {
    if (filter_.filter(msg)) {
        return;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

bool MessageLoop::next(MSG& msg) {
    if (quitting_) {
        return false;
    }
    if (onFirstIdle && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        const auto idle = std::move(onFirstIdle);
        onFirstIdle = nullptr;
        idle();
    }
    if (::GetMessageW(&msg, nullptr, 0, 0) <= 0) {
        quitting_ = true;
        exitCode_ = static_cast<int>(msg.wParam);
        return false;
    }
    return true;
}

int MessageLoop::run() {
    runWhile([] { return true; });
    return exitCode_;
}

void MessageLoop::doEvents() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Taken out of the queue and remembered: a quit left waiting there would wake
            // every wait at once and turn it into a spin. The outer loops end on the flag.
            quitting_ = true;
            exitCode_ = static_cast<int>(msg.wParam);
            return;
        }
        dispatch(msg);
    }
}

void MessageLoop::sleepResponsive(int ms) {
    const ULONGLONG until = ::GetTickCount64() + static_cast<ULONGLONG>(ms);
    for (;;) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= until) {
            break;
        }
        ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(until - now), QS_ALLINPUT,
                                      MWMO_INPUTAVAILABLE);
        doEvents();
    }
}

} // namespace kestrave::win32
