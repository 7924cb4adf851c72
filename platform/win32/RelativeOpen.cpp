#include "platform/win32/RelativeOpen.h"

#include <winternl.h>

namespace kestrave::win32 {

namespace {
// ntdll's calls, taken at run time with the SDK's signatures: ntdll is loaded in every
// process, and the program imports nothing from it.
struct NtCalls {
    decltype(&::NtCreateFile) createFile = nullptr;
    decltype(&::RtlNtStatusToDosError) toDosError = nullptr;
    NtCalls() {
        const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
        createFile = reinterpret_cast<decltype(createFile)>(
            reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtCreateFile")));
        toDosError = reinterpret_cast<decltype(toDosError)>(
            reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlNtStatusToDosError")));
    }
};

const NtCalls& nt() {
    static const NtCalls calls;
    return calls;
}

constexpr ULONG_PTR kFileCreated = 2; // IO_STATUS_BLOCK.Information after a create
} // namespace

std::uint32_t openRelative(HANDLE folder, const std::wstring& name, const RelativeOpen& how,
                           UniqueKernelHandle& out, bool* created) {
    // One plain name: no separator, no stream, nothing that could step out of the folder.
    if (nt().createFile == nullptr || nt().toDosError == nullptr || name.empty() ||
        name == L"." || name == L".." || name.find_first_of(L"\\/:") != std::wstring::npos ||
        name.size() > 32767) {
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
        FILE_NON_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT |
            how.extraOptions,
        nullptr, 0);
    if (status < 0) {
        return nt().toDosError(status);
    }
    out.reset(entry);
    if (created != nullptr) {
        *created = io.Information == kFileCreated;
    }
    return 0;
}

} // namespace kestrave::win32
