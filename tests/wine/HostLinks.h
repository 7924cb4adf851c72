#pragma once
#include <cstdio>
#include <string>

#include "platform/win32/Win32Api.h"

namespace kestrave::test {

// Wine cannot make a link itself (CreateSymbolicLinkW succeeds and makes nothing), but it
// follows the host's: these make them with the host's own shell, which Wine can start.

// The host path of a Windows path; empty outside Wine.
inline std::string hostPath(const std::wstring& path) {
    using Fn = char*(CDECL*)(const wchar_t*);
    const auto toUnix = reinterpret_cast<Fn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* unix = toUnix != nullptr ? toUnix(path.c_str()) : nullptr;
    const std::string out = unix != nullptr ? unix : "";
    if (unix != nullptr) {
        ::HeapFree(::GetProcessHeap(), 0, unix);
    }
    return out;
}

// Starts a host shell command. Wine hands it to the host and gives back no process to wait
// on (the wait fails at once, the exit code means nothing): callers watch for its effect.
inline bool startHostShell(const std::string& command) {
    std::wstring line = L"sh -c \"" + std::wstring(command.begin(), command.end()) + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &si, &pi)) {
        std::printf("host shell not started (%lu)\n", ::GetLastError());
        return false;
    }
    ::CloseHandle(pi.hProcess);
    ::CloseHandle(pi.hThread);
    return true;
}

// Waits up to ms for a condition; true once it holds.
template <typename Ready> bool waitUntil(Ready ready, int ms = 10000) {
    for (int waited = 0; waited < ms; waited += 20) {
        if (ready()) {
            return true;
        }
        ::Sleep(20);
    }
    return ready();
}

// Replaces the folder `from` by a host symbolic link to `to`, keeping the folder as
// `from` + ".moved"; true once the link is there.
inline bool swapForHostLink(const std::wstring& from, const std::wstring& to) {
    const std::string a = hostPath(from);
    const std::string b = hostPath(to);
    if (a.empty() || b.empty() ||
        !startHostShell("mv '" + a + "' '" + a + ".moved' && ln -s '" + b + "' '" + a + "'")) {
        return false;
    }
    // Through the link, the name now reaches what `to` holds.
    const std::wstring marker = L"\\kestrave-link-marker";
    ::CloseHandle(::CreateFileW((to + marker).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                0, nullptr));
    const bool linked = waitUntil([&] {
        return ::GetFileAttributesW((from + marker).c_str()) != INVALID_FILE_ATTRIBUTES;
    });
    ::DeleteFileW((to + marker).c_str());
    return linked;
}

} // namespace kestrave::test
