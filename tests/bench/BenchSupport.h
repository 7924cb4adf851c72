#pragma once
// What the benchmarks share: a clock, the spooler brought to a state, a queue of files.
#include <string>

#include "platform/win32/Win32Api.h"
#include "tests/common/Win32TestHelpers.h"

namespace kestrave::bench {

inline double now() {
    LARGE_INTEGER f, c;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
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
