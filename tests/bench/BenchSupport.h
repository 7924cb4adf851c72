#pragma once
// What the benchmarks share: a clock, where they are, memory, the spooler brought to a state,
// a queue of files.
#include <string>

#include "platform/win32/Win32Api.h"

#include <psapi.h>
#include "tests/common/Win32TestHelpers.h"

namespace kestrave::bench {

inline double now() {
    LARGE_INTEGER f, c;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// A file in the benchmark's own folder.
inline std::wstring besideSelf(const wchar_t* name) {
    const std::wstring p = testhelp::selfPath();
    return p.substr(0, p.find_last_of(L'\\') + 1) + name;
}

inline double mb(SIZE_T bytes) {
    return static_cast<double>(bytes) / 1048576.0;
}

// The process's working set, and its private bytes in `privateBytes`.
inline SIZE_T workingSet(HANDLE p, SIZE_T* privateBytes) {
    PROCESS_MEMORY_COUNTERS_EX mem{};
    mem.cb = sizeof mem;
    ::K32GetProcessMemoryInfo(p, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&mem), mem.cb);
    *privateBytes = mem.PagefileUsage;
    return mem.WorkingSetSize;
}

inline void setSpooler(bool running) {
    const DWORD want = running ? SERVICE_RUNNING : SERVICE_STOPPED;
    testhelp::requestServiceState(L"Spooler", want);
    for (int i = 0; i < 200 && testhelp::serviceState(L"Spooler") != want; ++i) {
        ::Sleep(50);
    }
}

inline std::wstring spoolFolder() {
    wchar_t dir[MAX_PATH];
    ::GetSystemDirectoryW(dir, MAX_PATH);
    return std::wstring(dir) + L"\\spool\\PRINTERS";
}

// `files` empty files named as the spooler names its spool files, in `folder`.
inline void fillFolder(const std::wstring& folder, int files) {
    ::CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = 0; i < files; ++i) {
        const std::wstring path = folder + L"\\" + std::to_wstring(10000 + i) + L".SPL";
        ::CloseHandle(
            ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
}

inline void fillQueue(int files) {
    fillFolder(spoolFolder(), files);
}

inline int filesIn(const std::wstring& folder) {
    WIN32_FIND_DATAW data{};
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    int n = 0;
    if (find != INVALID_HANDLE_VALUE) {
        do {
            n += (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1;
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
    }
    return n;
}

inline int queued() {
    return filesIn(spoolFolder());
}

} // namespace kestrave::bench
