#include "tests/bench/ConsoleBench.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "tests/bench/BenchSupport.h"

namespace kestrave::bench {

namespace {


// From the start to the process's end, its output thrown away, as a fleet's agent would wait.
double runToExit(const std::wstring& program, const wchar_t* arguments) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nul = ::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = nul;
    si.hStdError = nul;
    si.hStdInput = nullptr;
    PROCESS_INFORMATION pi{};
    std::wstring line = L"\"" + program + L"\" " + arguments;
    double seconds = 0;
    const double t0 = now();
    if (::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                         nullptr, nullptr, &si, &pi)) {
        ::WaitForSingleObject(pi.hProcess, 30000);
        seconds = now() - t0;
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
    } else {
        std::printf("bench: cannot start the console program (%lu)\n", ::GetLastError());
    }
    ::CloseHandle(nul);
    return seconds;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

unsigned long long fileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA a{};
    return ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &a) ? a.nFileSizeLow : 0;
}

} // namespace

void benchConsole(const std::wstring& twin, const std::wstring& bare) {
    std::printf("%-58s %8llu bytes %8llu bytes\n", "Kestrave.com size / bare console program",
                fileSize(twin), fileSize(bare));
    runToExit(twin, L"/status"); // warm: the first start loads what every later one finds
    runToExit(bare, L"/status");
    constexpr int rounds = 15;
    std::vector<double> twinTimes, bareTimes;
    for (int i = 0; i < rounds; ++i) {
        // Alternating who goes first: whatever the first start of a pair pays is shared.
        const bool twinFirst = i % 2 == 0;
        const double a = runToExit(twinFirst ? twin : bare, L"/status");
        const double b = runToExit(twinFirst ? bare : twin, L"/status");
        twinTimes.push_back(twinFirst ? a : b);
        bareTimes.push_back(twinFirst ? b : a);
    }
    std::printf("%-58s %11.1f ms %11.1f ms\n", "Kestrave.com /status, start to exit (median of 15)",
                median(twinTimes) * 1000, median(bareTimes) * 1000);
}

} // namespace kestrave::bench
