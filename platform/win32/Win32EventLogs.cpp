// The diagnosis's reads of the event logs: the classic System log, and the print service's
// Admin channel through wevtapi.dll (from System32, at first use).
#include "platform/win32/Win32DiagnosisSources.h"

#include <ctime>
#include <vector>

#include "core/keep/UtcTime.h"
#include "core/text/TextFormat.h"
#include "platform/win32/Win32Api.h"

#include <winevt.h>

namespace kestrave::win32 {

namespace {
std::wstring localTime(const FILETIME& utc) {
    FILETIME local{};
    SYSTEMTIME st{};
    ::FileTimeToLocalFileTime(&utc, &local);
    ::FileTimeToSystemTime(&local, &st);
    return decimal(st.wYear, 4) + L"-" + decimal(st.wMonth, 2) + L"-" + decimal(st.wDay, 2) + L" " +
           decimal(st.wHour, 2) + L":" + decimal(st.wMinute, 2);
}

} // namespace

EventTally Win32DiagnosisSources::serviceFailures(const std::wstring& displayName, int days) {
    EventTally t;
    HANDLE log = ::OpenEventLogW(nullptr, L"System");
    if (log == nullptr) {
        t.error = ::GetLastError();
        return t;
    }
    const DWORD oldest =
        static_cast<DWORD>(std::time(nullptr)) - static_cast<DWORD>(days * kSecondsPerDay);
    std::vector<BYTE> buffer(1 << 16);
    bool first = true;
    bool done = false;
    while (!done) {
        DWORD read = 0;
        DWORD needed = 0;
        if (!::ReadEventLogW(log, EVENTLOG_SEQUENTIAL_READ | EVENTLOG_BACKWARDS_READ, 0,
                             buffer.data(), static_cast<DWORD>(buffer.size()), &read, &needed)) {
            const DWORD code = ::GetLastError();
            if (code == ERROR_INSUFFICIENT_BUFFER) {
                buffer.resize(needed);
                continue;
            }
            if (first && code != ERROR_HANDLE_EOF) {
                t.error = code;
                ::CloseEventLog(log);
                return t;
            }
            break;
        }
        first = false;
        for (DWORD at = 0; at < read;) {
            const auto* r = reinterpret_cast<const EVENTLOGRECORD*>(buffer.data() + at);
            at += r->Length;
            if (r->TimeGenerated < oldest) {
                done = true;
                break;
            }
            const DWORD id = r->EventID & 0xFFFF;
            const auto* source = reinterpret_cast<const wchar_t*>(r + 1);
            const auto* strings = reinterpret_cast<const wchar_t*>(
                reinterpret_cast<const BYTE*>(r) + r->StringOffset);
            if ((id == 7031 || id == 7034) && std::wstring(source) == L"Service Control Manager" &&
                r->NumStrings > 0 && displayName == strings) {
                if (t.count++ == 0) {
                    // Seconds since 1970 as a FILETIME: 100 ns since 1601.
                    const ULONGLONG ft =
                        (static_cast<ULONGLONG>(r->TimeGenerated) + 11644473600ULL) * 10000000ULL;
                    t.newest =
                        localTime(FILETIME{static_cast<DWORD>(ft), static_cast<DWORD>(ft >> 32)});
                }
            }
        }
    }
    ::CloseEventLog(log);
    t.readable = true;
    return t;
}

EventTally Win32DiagnosisSources::printServiceErrors(int days) {
    EventTally t;
    const auto query = wevtapi_.get<decltype(&::EvtQuery)>("EvtQuery");
    const auto next = wevtapi_.get<decltype(&::EvtNext)>("EvtNext");
    const auto close = wevtapi_.get<decltype(&::EvtClose)>("EvtClose");
    if (!query || !next || !close) {
        t.error = ERROR_PROC_NOT_FOUND;
        return t;
    }
    const std::wstring xpath =
        L"*[System[(EventID=808 or EventID=6161) and TimeCreated[timediff(@SystemTime) <= " +
        decimal(static_cast<unsigned long long>(days) * 86400000ULL) + L"]]]";
    EVT_HANDLE results = query(nullptr, L"Microsoft-Windows-PrintService/Admin", xpath.c_str(),
                               EvtQueryChannelPath | EvtQueryReverseDirection);
    if (results == nullptr) {
        // A query that fails without a reason (Wine's) must not read as "success".
        const DWORD code = ::GetLastError();
        t.error = code != ERROR_SUCCESS ? code : ERROR_CALL_NOT_IMPLEMENTED;
        return t;
    }
    EVT_HANDLE events[64];
    DWORD returned = 0;
    while (next(results, 64, events, 1000, 0, &returned)) {
        t.count += returned;
        for (DWORD i = 0; i < returned; ++i) {
            close(events[i]);
        }
    }
    close(results);
    t.readable = true;
    t.newest = L"-";
    return t;
}

} // namespace kestrave::win32
