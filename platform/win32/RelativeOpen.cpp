#include "platform/win32/RelativeOpen.h"

#include <cstring>
#include <vector>

#include <winternl.h>

namespace kestrave::win32 {

namespace {
// ntdll's calls, taken at run time with the SDK's signatures: ntdll is loaded in every
// process, and the program imports nothing from it.
struct NtCalls {
    decltype(&::NtCreateFile) createFile = nullptr;
    decltype(&::RtlNtStatusToDosError) toDosError = nullptr;
    decltype(&::NtSetInformationFile) setInformation = nullptr;
    decltype(&::NtQueryVolumeInformationFile) queryVolume = nullptr;
    NtCalls() {
        const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
        createFile = reinterpret_cast<decltype(createFile)>(
            reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtCreateFile")));
        toDosError = reinterpret_cast<decltype(toDosError)>(
            reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlNtStatusToDosError")));
        setInformation = reinterpret_cast<decltype(setInformation)>(
            reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtSetInformationFile")));
        queryVolume = reinterpret_cast<decltype(queryVolume)>(
            reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtQueryVolumeInformationFile")));
    }
};

const NtCalls& nt() {
    static const NtCalls calls;
    return calls;
}

constexpr ULONG_PTR kFileCreated = 2;               // IO_STATUS_BLOCK.Information after a create
constexpr ULONG kCompleteIfOplocked = 0x00000100;   // FILE_COMPLETE_IF_OPLOCKED
constexpr long kOplockBreakInProgress = 0x00000108; // STATUS_OPLOCK_BREAK_IN_PROGRESS

// One plain name: no separator, no stream, nothing that could step out of the folder.
bool isPlainName(const std::wstring& name) {
    return !name.empty() && name != L"." && name != L".." &&
           name.find_first_of(L"\\/:") == std::wstring::npos && name.size() <= 32767;
}
} // namespace

std::uint32_t openRelative(HANDLE folder, const std::wstring& name, const RelativeOpen& how,
                           UniqueKernelHandle& out, bool* created) {
    if (nt().createFile == nullptr || nt().toDosError == nullptr || !isPlainName(name)) {
        return ERROR_INVALID_NAME;
    }
    UNICODE_STRING objectName{static_cast<USHORT>(name.size() * sizeof(wchar_t)),
                              static_cast<USHORT>(name.size() * sizeof(wchar_t)),
                              const_cast<wchar_t*>(name.data())};
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &objectName, OBJ_CASE_INSENSITIVE, folder,
                               how.security);
    IO_STATUS_BLOCK io{};
    HANDLE entry = nullptr;
    const NTSTATUS status = nt().createFile(
        &entry, how.access | SYNCHRONIZE, &attributes, &io, nullptr, FILE_ATTRIBUTE_NORMAL,
        how.share, how.disposition,
        (how.folder ? FILE_DIRECTORY_FILE : FILE_NON_DIRECTORY_FILE) | FILE_OPEN_REPARSE_POINT |
            FILE_SYNCHRONOUS_IO_NONALERT | kCompleteIfOplocked | how.extraOptions,
        nullptr, 0);
    if (const std::uint32_t code = openStatusCode(status); code != 0) {
        if (status >= 0) {
            ::CloseHandle(entry); // opened, but its first I/O would wait for the break
        }
        return code;
    }
    out.reset(entry);
    if (created != nullptr) {
        *created = io.Information == kFileCreated;
    }
    return 0;
}

std::uint32_t openStatusCode(long status) {
    if (status == kOplockBreakInProgress) {
        return ERROR_SHARING_VIOLATION;
    }
    if (status >= 0) {
        return 0;
    }
    return nt().toDosError != nullptr ? nt().toDosError(status) : ERROR_GEN_FAILURE;
}

std::uint32_t markForDeletion(HANDLE file) {
    FILE_DISPOSITION_INFO gone{TRUE};
    if (::SetFileInformationByHandle(file, FileDispositionInfo, &gone, sizeof gone)) {
        return 0;
    }
    const DWORD refused = ::GetLastError();
    FILE_BASIC_INFO basic{};
    if (refused != ERROR_ACCESS_DENIED ||
        !::GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic) ||
        (basic.FileAttributes & FILE_ATTRIBUTE_READONLY) == 0) {
        return refused;
    }
    basic.FileAttributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    basic.FileAttributes = basic.FileAttributes == 0 ? FILE_ATTRIBUTE_NORMAL : basic.FileAttributes;
    basic.CreationTime.QuadPart = basic.LastAccessTime.QuadPart = 0; // times as they are
    basic.LastWriteTime.QuadPart = basic.ChangeTime.QuadPart = 0;
    if (!::SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic) ||
        !::SetFileInformationByHandle(file, FileDispositionInfo, &gone, sizeof gone)) {
        return ::GetLastError();
    }
    return 0;
}

std::uint32_t renameRelative(HANDLE file, HANDLE targetFolder, const std::wstring& name) {
    if (nt().setInformation == nullptr || nt().toDosError == nullptr || !isPlainName(name)) {
        return ERROR_INVALID_NAME;
    }
    // The structure ends in the name's first character; the rest of the name follows it.
    const std::size_t nameBytes = name.size() * sizeof(wchar_t);
    std::vector<std::uint8_t> buffer(sizeof(FILE_RENAME_INFORMATION) + nameBytes);
    auto* info = reinterpret_cast<FILE_RENAME_INFORMATION*>(buffer.data());
    info->ReplaceIfExists = FALSE;
    info->RootDirectory = targetFolder;
    info->FileNameLength = static_cast<ULONG>(nameBytes);
    std::memcpy(info->FileName, name.data(), nameBytes);
    IO_STATUS_BLOCK io{};
    const NTSTATUS status = nt().setInformation(file, &io, info, static_cast<ULONG>(buffer.size()),
                                                FileRenameInformation);
    if (status >= 0) {
        return 0;
    }
    const std::uint32_t code = nt().toDosError(status);
    return code == ERROR_ALREADY_EXISTS ? ERROR_FILE_EXISTS : code;
}

std::uint32_t volumeFreeBytes(HANDLE object, std::uint64_t& out) {
    if (nt().queryVolume == nullptr || nt().toDosError == nullptr) {
        return ERROR_INVALID_FUNCTION;
    }
    FILE_FS_SIZE_INFORMATION size{};
    IO_STATUS_BLOCK io{};
    const NTSTATUS status =
        nt().queryVolume(object, &io, &size, sizeof size, FileFsSizeInformation);
    if (status < 0) {
        return nt().toDosError(status);
    }
    out = static_cast<std::uint64_t>(size.AvailableAllocationUnits.QuadPart) *
          size.SectorsPerAllocationUnit * size.BytesPerSector;
    return 0;
}

} // namespace kestrave::win32
