#include "platform/win32/StartupTimeline.h"

namespace kestrave::win32::startup {

void publish(HWND window) {
    if (window == nullptr || !claimPublication()) {
        return;
    }
    for (int m = 0; m < kMarks; ++m) {
        if (const long long us = microsecondsAt(static_cast<Mark>(m)); us != 0) {
            ::SetPropW(window, propertyName(m).c_str(),
                       reinterpret_cast<HANDLE>(static_cast<INT_PTR>(us)));
        }
    }
}

} // namespace kestrave::win32::startup
