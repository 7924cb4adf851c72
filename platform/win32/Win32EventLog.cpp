#include "platform/win32/Win32EventLog.h"

#include "platform/win32/Handles.h"
#include "platform/win32/Win32Api.h"

#include <sddl.h>

namespace kestrave::win32 {

namespace {
// The process's own account: named in the event's user field as well as in its words.
std::vector<BYTE> tokenUser() {
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) {
        return {};
    }
    const UniqueKernelHandle token(raw);
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) {
        return {};
    }
    return buffer;
}

PSID sidOf(std::vector<BYTE>& user) {
    return user.empty() ? nullptr : reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
}
} // namespace

void Win32EventLog::write(Type type, std::uint32_t id, const std::vector<std::wstring>& strings) {
    const HANDLE source = ::RegisterEventSourceW(nullptr, L"Kestrave");
    if (source == nullptr) {
        return;
    }
    std::vector<LPCWSTR> pointers;
    for (const std::wstring& s : strings) {
        pointers.push_back(s.c_str());
    }
    std::vector<BYTE> user = tokenUser();
    const WORD kind = type == Type::Information ? EVENTLOG_INFORMATION_TYPE
                      : type == Type::Warning   ? EVENTLOG_WARNING_TYPE
                                                : EVENTLOG_ERROR_TYPE;
    ::ReportEventW(source, kind, 0, id, sidOf(user), static_cast<WORD>(pointers.size()), 0,
                   pointers.data(), nullptr);
    ::DeregisterEventSource(source);
}

std::wstring Win32EventLog::account() {
    std::vector<BYTE> user = tokenUser();
    const PSID sid = sidOf(user);
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
