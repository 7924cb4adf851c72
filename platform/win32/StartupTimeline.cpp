#include "platform/win32/StartupTimeline.h"

#include <atomic>

namespace kestrave::win32::startup {

namespace {

std::atomic<bool> taken[kMarks];
LARGE_INTEGER at[kMarks];
// The process's creation, on the performance counter's scale.
LARGE_INTEGER created;
std::atomic<bool> published;

void findCreation() {
    FILETIME creation{}, exit{}, kernel{}, user{};
    FILETIME now{};
    LARGE_INTEGER counter{}, frequency{};
    ::QueryPerformanceCounter(&counter);
    ::QueryPerformanceFrequency(&frequency);
    // The precise clock where there is one (Windows 8 and later); the coarse one otherwise.
    using Precise = void(WINAPI*)(LPFILETIME);
    const auto precise = reinterpret_cast<Precise>(reinterpret_cast<void*>(::GetProcAddress(
        ::GetModuleHandleW(L"kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
    precise != nullptr ? precise(&now) : ::GetSystemTimeAsFileTime(&now);
    ::GetProcessTimes(::GetCurrentProcess(), &creation, &exit, &kernel, &user);
    const auto ticks = [](FILETIME f) {
        return static_cast<long long>((static_cast<ULONGLONG>(f.dwHighDateTime) << 32) |
                                      f.dwLowDateTime);
    };
    const long long since = ticks(now) - ticks(creation); // 100 ns units
    created.QuadPart = counter.QuadPart - since * frequency.QuadPart / 10000000;
}

} // namespace

bool asked() {
    static const bool set = ::GetEnvironmentVariableW(L"KESTRAVE_STARTUP_TIMELINE", nullptr, 0) > 0;
    return set;
}

void mark(Mark m) {
    if (taken[m].exchange(true)) {
        return;
    }
    if (m == kEntry) {
        findCreation();
    }
    ::QueryPerformanceCounter(&at[m]);
}

long long microsecondsAt(Mark m) {
    if (!taken[kEntry] || !taken[m]) {
        return 0;
    }
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    const long long us = (at[m].QuadPart - created.QuadPart) * 1000000 / frequency.QuadPart;
    return us > 0 ? us : 1;
}

bool claimPublication() {
    return taken[kEntry] && !published.exchange(true);
}

} // namespace kestrave::win32::startup
