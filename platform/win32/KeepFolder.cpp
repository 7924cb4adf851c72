#include "platform/win32/KeepFolder.h"

#include <ntsecapi.h>

#include "platform/SystemError.h"
#include "platform/win32/FileTrust.h"
#include "platform/win32/Handles.h"
#include "platform/win32/ShellFunctions.h"

namespace kestrave::win32 {

namespace {
constexpr const wchar_t* kOwnKey = L"SOFTWARE\\Kestrave\\OwnFolder"; // its default value
constexpr const wchar_t* kNamePrefix = L"Kestrave-";
constexpr std::size_t kRandomBytes = 16;
constexpr int kRecordWaits = 20; // another Kestrave making the folder at the same moment
constexpr DWORD kRecordWaitMs = 50;

bool missing(std::uint32_t code) {
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

// A folder of the program's own, held from its parent's handle: made for administrators
// alone when `create`, and checked through that handle whether made or found.
std::unique_ptr<Win32OpenFolder> ownFolder(Win32OpenFolder& parent, const std::wstring& name,
                                           DWORD disposition, OthersMay others) {
    AdminOnlySecurity security;
    const bool creates = disposition != FILE_OPEN;
    if (creates && security.attributes() == nullptr) {
        throw SystemError(::GetLastError(), "cannot make the folder's security");
    }
    std::unique_ptr<Win32OpenFolder> folder;
    try {
        folder = parent.child(name, disposition,
                              creates ? security.attributes()->lpSecurityDescriptor : nullptr);
    } catch (const SystemError& e) {
        throw SystemError(missing(e.code()) ? ERROR_FILE_NOT_FOUND : e.code(), e.what());
    }
    if (const std::uint32_t code = checkAdminOnlyAccess(folder->handle(), others); code != 0) {
        throw SystemError(code, "the folder is not ours alone");
    }
    return folder;
}

// The name a folder of the program's own was made under, where one is recorded.
std::wstring recordedName() {
    UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kOwnKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY,
                        key.put()) != ERROR_SUCCESS) {
        return {};
    }
    wchar_t name[64];
    DWORD size = sizeof name;
    if (::RegGetValueW(key.get(), nullptr, nullptr, RRF_RT_REG_SZ, nullptr, name, &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    const std::wstring text(name);
    // Only a name of the form it was made in: nothing recorded can lead out of ProgramData.
    const bool plain =
        text.rfind(kNamePrefix, 0) == 0 &&
        text.size() == std::wcslen(kNamePrefix) + 2 * kRandomBytes &&
        text.find_first_not_of(L"0123456789abcdef", std::wcslen(kNamePrefix)) == std::wstring::npos;
    return plain ? text : std::wstring();
}

std::wstring unpredictableName() {
    unsigned char bytes[kRandomBytes];
    if (!::RtlGenRandom(bytes, sizeof bytes)) {
        throw SystemError(ERROR_GEN_FAILURE, "cannot make a name no one can predict");
    }
    std::wstring name = kNamePrefix;
    for (const unsigned char b : bytes) {
        name += L"0123456789abcdef"[b >> 4];
        name += L"0123456789abcdef"[b & 15];
    }
    return name;
}

// The folder of the program's own: the one recorded, or (when `create`) a new one, made
// where no one has made anything (FILE_CREATE) and recorded. The first Kestrave to create the
// record's key makes the folder; one that comes at the same moment waits for its name.
std::unique_ptr<Win32OpenFolder> ownReplacement(Win32OpenFolder& programData, bool create) {
    if (const std::wstring name = recordedName(); !name.empty()) {
        try {
            return ownFolder(programData, name, create ? FILE_OPEN_IF : FILE_OPEN,
                             OthersMay::Nothing);
        } catch (const SystemError& e) {
            if (!create || !missing(e.code())) {
                throw;
            }
        }
    }
    if (!create) {
        throw SystemError(ERROR_FILE_NOT_FOUND, "no folder of the program's own");
    }
    UniqueRegKey key;
    DWORD disposition = 0;
    if (const LONG made = ::RegCreateKeyExW(
            HKEY_LOCAL_MACHINE, kOwnKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
            KEY_SET_VALUE | KEY_QUERY_VALUE | KEY_WOW64_64KEY, nullptr, key.put(), &disposition);
        made != ERROR_SUCCESS) {
        throw SystemError(static_cast<std::uint32_t>(made), "cannot record the folder");
    }
    if (disposition == REG_OPENED_EXISTING_KEY) {
        for (int wait = 0; wait < kRecordWaits; ++wait) {
            if (const std::wstring name = recordedName(); !name.empty()) {
                return ownFolder(programData, name, FILE_OPEN_IF, OthersMay::Nothing);
            }
            ::Sleep(kRecordWaitMs);
        }
    }
    const std::wstring name = unpredictableName();
    std::unique_ptr<Win32OpenFolder> folder =
        ownFolder(programData, name, FILE_CREATE, OthersMay::Nothing);
    const LONG written =
        ::RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                         static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t)));
    if (written != ERROR_SUCCESS) {
        throw SystemError(static_cast<std::uint32_t>(written), "cannot record the folder");
    }
    return folder;
}

std::unique_ptr<Win32OpenFolder> openProgramData() {
    const auto programData = programDataDirectory();
    if (!programData) {
        throw SystemError(ERROR_PATH_NOT_FOUND, "no ProgramData folder");
    }
    // ProgramData itself and everything above it: real folders the system's accounts own.
    if (examineFolderPath(*programData) != FolderStanding::Trusted) {
        throw SystemError(ERROR_ACCESS_DENIED, "ProgramData is not the system's");
    }
    return openFolderByHandle(*programData);
}

void passOver(std::vector<std::wstring>* passedOver, const std::wstring& path) {
    if (passedOver != nullptr) {
        passedOver->push_back(path);
    }
}
} // namespace

std::optional<std::wstring> programDataDirectory() {
    wchar_t programData[MAX_PATH];
    DWORD size = sizeof programData;
    if (::RegGetValueW(
            HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList",
            L"ProgramData", RRF_RT_REG_SZ, nullptr, programData, &size) == ERROR_SUCCESS) {
        return std::wstring(programData);
    }
    return shell::knownFolder(FOLDERID_ProgramData);
}

std::unique_ptr<Win32OpenFolder> openProgramFolder(bool create,
                                                   std::vector<std::wstring>* passedOver) {
    const std::unique_ptr<Win32OpenFolder> programData = openProgramData();
    // Once the program has had to make a folder of its own, what it keeps is there.
    if (!recordedName().empty()) {
        try {
            return ownReplacement(*programData, false);
        } catch (const SystemError&) {
            // Gone or refused: Kestrave itself is tried again, and a new one made if need be.
        }
    }
    try {
        return ownFolder(*programData, L"Kestrave", create ? FILE_OPEN_IF : FILE_OPEN,
                         OthersMay::Read);
    } catch (const SystemError& e) {
        if (e.code() == ERROR_FILE_NOT_FOUND) {
            throw;
        }
        passOver(passedOver, programData->path() + L"\\Kestrave");
    }
    return ownReplacement(*programData, create);
}

std::unique_ptr<IOpenFolder> openKeepFolder(bool create, std::vector<std::wstring>* passedOver) {
    std::unique_ptr<Win32OpenFolder> own = openProgramFolder(create, passedOver);
    const DWORD disposition = create ? FILE_OPEN_IF : FILE_OPEN;
    try {
        return ownFolder(*own, L"Cleared", disposition, OthersMay::Nothing);
    } catch (const SystemError& e) {
        const std::wstring& path = own->path();
        const bool replacement = path.size() < 9 || path.compare(path.size() - 9, 9, L"\\Kestrave");
        if (e.code() == ERROR_FILE_NOT_FOUND || replacement) {
            throw;
        }
        passOver(passedOver, own->path() + L"\\Cleared");
    }
    own.reset();
    const std::unique_ptr<Win32OpenFolder> programData = openProgramData();
    own = ownReplacement(*programData, create);
    return ownFolder(*own, L"Cleared", disposition, OthersMay::Nothing);
}

} // namespace kestrave::win32
