#include "platform/win32/FileTrust.h"

#include <cwctype>
#include <vector>

#include <aclapi.h>
#include <sddl.h>

namespace kestrave::win32 {

namespace {
bool isWellKnown(PSID sid, WELL_KNOWN_SID_TYPE type) {
    return ::IsWellKnownSid(sid, type) != FALSE;
}

// NT SERVICE\TrustedInstaller, which owns the system's own folders.
bool isTrustedInstaller(PSID sid) {
    PSID installer = nullptr;
    if (!::ConvertStringSidToSidW(L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464",
                                  &installer)) {
        return false;
    }
    const bool same = ::EqualSid(sid, installer) != FALSE;
    ::LocalFree(installer);
    return same;
}

bool isThisAccount(PSID sid) {
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) {
        return false;
    }
    const UniqueKernelHandle token(raw);
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) {
        return false;
    }
    return ::EqualSid(sid, reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid) != FALSE;
}
} // namespace

std::uint32_t checkTrustedOwner(HANDLE object) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD read = ::GetSecurityInfo(object, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                                         nullptr, nullptr, nullptr, &descriptor);
    if (read != ERROR_SUCCESS) {
        return read;
    }
    const bool trusted = owner != nullptr && (isWellKnown(owner, WinLocalSystemSid) ||
                                              isWellKnown(owner, WinBuiltinAdministratorsSid) ||
                                              isTrustedInstaller(owner) || isThisAccount(owner));
    ::LocalFree(descriptor);
    return trusted ? 0 : ERROR_ACCESS_DENIED;
}

std::uint32_t checkAdminOnlyAccess(HANDLE object) {
    if (const std::uint32_t owner = checkTrustedOwner(object); owner != 0) {
        return owner;
    }
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD read = ::GetSecurityInfo(object, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                         nullptr, &dacl, nullptr, &descriptor);
    if (read != ERROR_SUCCESS) {
        return read;
    }
    bool adminOnly = dacl != nullptr; // no DACL at all admits everyone
    for (DWORD i = 0; adminOnly && i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!::GetAce(dacl, i, &ace)) {
            adminOnly = false;
            break;
        }
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        if (header->AceType == ACCESS_DENIED_ACE_TYPE) {
            continue;
        }
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) {
            adminOnly = false; // an object or conditional grant: not ours to judge
            break;
        }
        PSID sid = &static_cast<ACCESS_ALLOWED_ACE*>(ace)->SidStart;
        adminOnly = isWellKnown(sid, WinLocalSystemSid) ||
                    isWellKnown(sid, WinBuiltinAdministratorsSid) || isThisAccount(sid);
    }
    ::LocalFree(descriptor);
    return adminOnly ? 0 : ERROR_ACCESS_DENIED;
}

UniqueFileHandle openWithoutFollowing(const std::wstring& path, DWORD access, DWORD creation,
                                      DWORD flags, SECURITY_ATTRIBUTES* security) {
    return UniqueFileHandle(::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          security, creation, flags | FILE_FLAG_OPEN_REPARSE_POINT,
                                          nullptr));
}

std::uint32_t checkRealFolder(HANDLE folder) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(folder, &info)) {
        return ::GetLastError();
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return ERROR_CANT_ACCESS_FILE;
    }
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? 0 : ERROR_DIRECTORY;
}

std::wstring comparablePath(const std::wstring& path) {
    std::wstring out = path.rfind(L"\\\\?\\", 0) == 0 ? path.substr(4) : path;
    while (out.size() > 3 && out.back() == L'\\') {
        out.pop_back();
    }
    for (wchar_t& c : out) {
        c = static_cast<wchar_t>(std::towupper(c));
    }
    return out;
}

bool leadsTo(HANDLE object, const std::wstring& path) {
    std::wstring final(32768, L'\0');
    const DWORD n =
        ::GetFinalPathNameByHandleW(object, final.data(), static_cast<DWORD>(final.size()),
                                    FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0 || n >= final.size()) {
        return false;
    }
    final.resize(n);
    return comparablePath(final) == comparablePath(path);
}

AdminOnlySecurity::AdminOnlySecurity(bool usersRead) {
    // Protected (P): nothing inherited from above; OICI: what is made inside inherits it.
    const wchar_t* sddl = usersRead ? L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FR;;;BU)"
                                    : L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
    if (::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor_,
                                                               nullptr)) {
        attributes_.nLength = sizeof attributes_;
        attributes_.lpSecurityDescriptor = descriptor_;
        attributes_.bInheritHandle = FALSE;
    }
}

AdminOnlySecurity::~AdminOnlySecurity() {
    if (descriptor_ != nullptr) {
        ::LocalFree(descriptor_);
    }
}

} // namespace kestrave::win32
