#include "platform/win32/Win32EventLog.h"

#include "platform/win32/FileTrust.h"
#include "platform/win32/Win32Api.h"

#include <sddl.h>

namespace kestrave::win32 {

void Win32EventLog::write(Type type, std::uint32_t id, const std::vector<std::wstring>& strings) {
    const HANDLE source = ::RegisterEventSourceW(nullptr, L"Kestrave");
    if (source == nullptr) {
        return;
    }
    std::vector<LPCWSTR> pointers;
    for (const std::wstring& s : strings) {
        pointers.push_back(s.c_str());
    }
    std::vector<BYTE> user = accountOf(::GetCurrentProcess());
    const WORD kind = type == Type::Information ? EVENTLOG_INFORMATION_TYPE
                      : type == Type::Warning   ? EVENTLOG_WARNING_TYPE
                                                : EVENTLOG_ERROR_TYPE;
    ::ReportEventW(source, kind, 0, id, user.empty() ? nullptr : reinterpret_cast<PSID>(user.data()), static_cast<WORD>(pointers.size()), 0,
                   pointers.data(), nullptr);
    ::DeregisterEventSource(source);
}

std::wstring Win32EventLog::account() {
    std::vector<BYTE> user = accountOf(::GetCurrentProcess());
    const PSID sid = user.empty() ? nullptr : reinterpret_cast<PSID>(user.data());
    if (sid == nullptr) {
        return L"?";
    }
    wchar_t name[256];
    wchar_t domain[256];
    DWORD nameSize = 256;
    DWORD domainSize = 256;
    SID_NAME_USE use{};
    if (::LookupAccountSidW(nullptr, sid, name, &nameSize, domain, &domainSize, &use)) {
        return domainSize > 0 ? std::wstring(domain) + L"\\" + name : std::wstring(name);
    }
    // No name to be had (a domain out of reach): the SID says who it was all the same.
    LPWSTR text = nullptr;
    if (!::ConvertSidToStringSidW(sid, &text)) {
        return L"?";
    }
    std::wstring out = text;
    ::LocalFree(text);
    return out;
}

} // namespace kestrave::win32
