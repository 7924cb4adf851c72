#include "platform/win32/FileTrust.h"

#include "core/text/PathText.h"
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

std::vector<BYTE> thisAccount() {
    return accountOf(::GetCurrentProcess());
}

std::vector<BYTE> ownerOf(HANDLE object) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(object, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                          nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
        return {};
    }
    std::vector<BYTE> out;
    if (owner != nullptr && ::IsValidSid(owner)) {
        const BYTE* bytes = static_cast<const BYTE*>(owner);
        out.assign(bytes, bytes + ::GetLengthSid(owner));
    }
    ::LocalFree(descriptor);
    return out;
}

// This account, where it owns the Windows folder; empty everywhere else.
const std::vector<BYTE>& accountOwningTheSystem() {
    static const std::vector<BYTE> account = [] {
        wchar_t windows[MAX_PATH + 1];
        const UINT n = ::GetSystemWindowsDirectoryW(windows, MAX_PATH + 1);
        if (n == 0 || n > MAX_PATH) {
            return std::vector<BYTE>{};
        }
        const UniqueFileHandle folder(::CreateFileW(
            windows, READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        const std::vector<BYTE> me = thisAccount();
        return folder && !me.empty() && ownerOf(folder.get()) == me ? me : std::vector<BYTE>{};
    }();
    return account;
}

// What an allowed entry grants, its generic rights spelt out as a file's.
ACCESS_MASK fileRights(ACCESS_MASK mask) {
    GENERIC_MAPPING mapping{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE,
                            FILE_ALL_ACCESS};
    ::MapGenericMask(&mask, &mapping);
    return mask;
}

// 0 when every grant of the object's DACL to an account that is not trusted stays within
// `allowed`, ERROR_ACCESS_DENIED otherwise, or the code of the read.
std::uint32_t checkGrants(HANDLE object, ACCESS_MASK allowed, Inherited inherited) {
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD read = ::GetSecurityInfo(object, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                         nullptr, &dacl, nullptr, &descriptor);
    if (read != ERROR_SUCCESS) {
        return read;
    }
    const bool within = grantsWithin(dacl, allowed, inherited);
    ::LocalFree(descriptor);
    return within ? 0 : ERROR_ACCESS_DENIED;
}
} // namespace

bool grantsWithin(PACL dacl, ACCESS_MASK allowed, Inherited inherited) {
    if (dacl == nullptr) {
        return false; // no DACL at all admits everyone
    }
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!::GetAce(dacl, i, &ace)) {
            return false;
        }
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        if (header->AceType == ACCESS_DENIED_ACE_TYPE ||
            (inherited == Inherited::OnlyByWhatIsMadeInside &&
             (header->AceFlags & INHERIT_ONLY_ACE) != 0)) {
            continue;
        }
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) {
            return false; // an object or conditional grant: not ours to judge
        }
        const auto* grant = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        PSID sid = const_cast<DWORD*>(&grant->SidStart);
        if (!isTrustedAccount(sid) && (fileRights(grant->Mask) & ~allowed) != 0) {
            return false;
        }
    }
    return true;
}

std::vector<BYTE> accountOf(HANDLE process) {
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(process, TOKEN_QUERY, &raw)) {
        return {};
    }
    const UniqueKernelHandle token(raw);
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) {
        return {};
    }
    const PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
    const BYTE* bytes = static_cast<const BYTE*>(sid);
    return std::vector<BYTE>(bytes, bytes + ::GetLengthSid(sid));
}

bool runsElevated() {
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) {
        return true;
    }
    const UniqueKernelHandle token(raw);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return !::GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation,
                                  &size) ||
           elevation.TokenIsElevated != 0;
}

bool holdsAdministratorRights() {
    // Membership as the access checks see it: true elevated, as SYSTEM, and where UAC is off;
    // false for an administrator's filtered token, whose Administrators group is deny-only.
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof sid;
    BOOL member = FALSE;
    if (!::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &size) ||
        !::CheckTokenMembership(nullptr, sid, &member)) {
        return runsElevated();
    }
    return member != FALSE;
}

bool isTrustedAccount(PSID sid) {
    if (sid == nullptr || !::IsValidSid(sid)) {
        return false;
    }
    if (isWellKnown(sid, WinLocalSystemSid) || isWellKnown(sid, WinBuiltinAdministratorsSid) ||
        isTrustedInstaller(sid)) {
        return true;
    }
    const std::vector<BYTE>& account = accountOwningTheSystem();
    return !account.empty() && ::EqualSid(sid, const_cast<BYTE*>(account.data())) != FALSE;
}

std::uint32_t checkTrustedOwner(HANDLE object) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD read = ::GetSecurityInfo(object, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                                         nullptr, nullptr, nullptr, &descriptor);
    if (read != ERROR_SUCCESS) {
        return read;
    }
    const bool trusted = isTrustedAccount(owner);
    ::LocalFree(descriptor);
    return trusted ? 0 : ERROR_ACCESS_DENIED;
}

std::uint32_t checkAdminOnlyAccess(HANDLE object, OthersMay others) {
    if (const std::uint32_t owner = checkTrustedOwner(object); owner != 0) {
        return owner;
    }
    const ACCESS_MASK reading =
        others == OthersMay::Read ? FILE_GENERIC_READ | FILE_GENERIC_EXECUTE : 0;
    return checkGrants(object, reading, Inherited::ByTheObjectToo);
}

std::uint32_t checkNoOthersMayAlter(HANDLE object) {
    if (const std::uint32_t owner = checkTrustedOwner(object); owner != 0) {
        return owner;
    }
    constexpr ACCESS_MASK kAltering = DELETE | WRITE_DAC | WRITE_OWNER | FILE_DELETE_CHILD;
    return checkGrants(object, ~kAltering, Inherited::OnlyByWhatIsMadeInside);
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

bool leadsTo(HANDLE object, const std::wstring& path) {
    std::wstring final(32768, L'\0');
    const DWORD n =
        ::GetFinalPathNameByHandleW(object, final.data(), static_cast<DWORD>(final.size()),
                                    FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0 || n >= final.size()) {
        return false;
    }
    final.resize(n);
    return pathKey(final) == pathKey(path);
}

AdminOnlySecurity::AdminOnlySecurity(bool usersRead) {
    // Protected (P): nothing inherited from above; OICI: what is made inside inherits it.
    // O:BA: where the policy makes the creator the owner of new objects, an administrator's
    // own account would own it, and the program would then refuse its own folder.
    const wchar_t* sddl = usersRead ? L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FR;;;BU)"
                                    : L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
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
