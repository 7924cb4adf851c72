#include "platform/win32/Win32AdminObjects.h"

#include <memory>

#include "platform/SystemError.h"
#include "platform/win32/FileTrust.h"
#include "platform/win32/KeepFolder.h"
#include "platform/win32/RelativeOpen.h"

namespace kestrave::win32 {

namespace {
// The namespace functions, taken from kernel32 with the SDK's own signatures.
struct NamespaceCalls {
    decltype(&::CreateBoundaryDescriptorW) createBoundary = nullptr;
    decltype(&::AddSIDToBoundaryDescriptor) addSid = nullptr;
    decltype(&::DeleteBoundaryDescriptor) deleteBoundary = nullptr;
    decltype(&::CreatePrivateNamespaceW) create = nullptr;
    decltype(&::ClosePrivateNamespace) close = nullptr;

    NamespaceCalls() {
        const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
        load(kernel, createBoundary, "CreateBoundaryDescriptorW");
        load(kernel, addSid, "AddSIDToBoundaryDescriptor");
        load(kernel, deleteBoundary, "DeleteBoundaryDescriptor");
        load(kernel, create, "CreatePrivateNamespaceW");
        load(kernel, close, "ClosePrivateNamespace");
    }
    bool complete() const { return createBoundary && addSid && deleteBoundary && create && close; }
    template <typename F> static void load(HMODULE module, F& f, const char* name) {
        f = reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    }
};

const NamespaceCalls& namespaceCalls() {
    static const NamespaceCalls calls;
    return calls;
}

// What one token keeps open.
struct Held {
    HANDLE boundary = nullptr;
    HANDLE privateNamespace = nullptr;
    std::unique_ptr<Win32OpenFolder> folder;
    UniqueFileHandle file;
    ~Held() {
        const NamespaceCalls& calls = namespaceCalls();
        if (privateNamespace != nullptr) {
            // Destroyed, not only closed: no one may find it after its holder let go.
            calls.close(privateNamespace, PRIVATE_NAMESPACE_FLAG_DESTROY);
        }
        if (boundary != nullptr) {
            calls.deleteBoundary(boundary);
        }
    }
};
} // namespace

bool Win32AdminObjects::privateNamespaces() {
    return namespaceCalls().complete();
}

std::uint32_t Win32AdminObjects::createNamespace(const std::wstring& name, Token& out) {
    const NamespaceCalls& calls = namespaceCalls();
    if (!calls.complete()) {
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
    auto held = std::make_unique<Held>();
    held->boundary = calls.createBoundary(L"Kestrave", 0);
    if (held->boundary == nullptr) {
        return ::GetLastError();
    }
    // Only a token with the Administrators group enabled is inside this boundary: a standard
    // user, or an administrator's unelevated token, can neither create nor open it.
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof sid;
    if (!::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &sidSize) ||
        !calls.addSid(&held->boundary, sid)) {
        return ::GetLastError();
    }
    AdminOnlySecurity security;
    if (security.attributes() == nullptr) {
        return ::GetLastError();
    }
    held->privateNamespace = calls.create(security.attributes(), held->boundary, name.c_str());
    if (held->privateNamespace == nullptr) {
        return ::GetLastError(); // ERROR_ALREADY_EXISTS while another holds it
    }
    out = reinterpret_cast<Token>(held.release());
    return 0;
}

std::uint32_t Win32AdminObjects::openLockFile(const std::wstring& name, Token& out) {
    auto held = std::make_unique<Held>();
    try {
        held->folder = openProgramFolder(true);
    } catch (const SystemError& e) {
        return e.code();
    }
    AdminOnlySecurity security;
    if (security.attributes() == nullptr) {
        return ::GetLastError();
    }
    // No sharing at all: a second opener gets ERROR_SHARING_VIOLATION while this is held.
    RelativeOpen how;
    how.access = GENERIC_READ | GENERIC_WRITE;
    how.share = 0;
    how.disposition = 3; // FILE_OPEN_IF
    how.security = security.attributes()->lpSecurityDescriptor;
    UniqueKernelHandle file;
    if (const std::uint32_t code = openRelative(held->folder->handle(), name + L".lock", how, file);
        code != 0) {
        return code;
    }
    held->file.reset(file.release());
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(held->file.get(), &info)) {
        return ::GetLastError();
    }
    if ((info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0 ||
        info.nNumberOfLinks != 1) {
        return ERROR_CANT_ACCESS_FILE;
    }
    out = reinterpret_cast<Token>(held.release());
    return 0;
}

void Win32AdminObjects::close(Token token) {
    delete reinterpret_cast<Held*>(token);
}

} // namespace kestrave::win32
