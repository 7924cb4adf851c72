#pragma once
// Files, folders and the program's own folders as the tests of keeping cleared jobs make,
// read and remove them under Wine, with the fixture they start from.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/App.h"
#include "core/keep/KeepSettings.h"
#include "core/spooler/SpoolerOperation.h"

#include <aclapi.h>
#include <sddl.h>

namespace kestrave::test {

inline const std::wstring kOwn = L"C:\\ProgramData\\Kestrave";
inline const std::wstring kKept = kOwn + L"\\Cleared";

struct NoSteps : IOperationObserver {
    void step(Step, std::size_t, std::size_t) override {}
};

inline void write(const std::wstring& path, const std::string& bytes) {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << ::GetLastError();
    DWORD n = 0;
    ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
    ::CloseHandle(h);
}

inline std::string read(const std::wstring& path) {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                             nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return "(missing)";
    }
    std::string bytes;
    char buffer[65536];
    DWORD n = 0;
    while (::ReadFile(h, buffer, sizeof buffer, &n, nullptr) && n > 0) {
        bytes.append(buffer, n);
    }
    ::CloseHandle(h);
    return bytes;
}

inline std::vector<std::wstring> names(const std::wstring& folder) {
    std::vector<std::wstring> out;
    WIN32_FIND_DATAW found;
    HANDLE h = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    while (h != INVALID_HANDLE_VALUE) {
        const std::wstring n = found.cFileName;
        if (n != L"." && n != L"..") {
            out.push_back(n);
        }
        if (!::FindNextFileW(h, &found)) {
            ::FindClose(h);
            break;
        }
    }
    return out;
}

// Every folder and file under `path`, then the folder itself.
inline void removeTree(const std::wstring& path) {
    for (const std::wstring& n : names(path)) {
        const std::wstring child = path + L"\\" + n;
        if (::GetFileAttributesW(child.c_str()) & FILE_ATTRIBUTE_DIRECTORY) {
            removeTree(child);
        } else {
            // A kept job may be read-only, as it was queued: it goes all the same.
            ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(child.c_str());
        }
    }
    ::RemoveDirectoryW(path.c_str());
}

// The folders of the program's own made where Kestrave failed its checks, and their record.
inline void removeOwnReplacements() {
    for (const std::wstring& n : names(L"C:\\ProgramData")) {
        if (n.rfind(L"Kestrave-", 0) == 0) {
            removeTree(L"C:\\ProgramData\\" + n);
        }
    }
    ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Kestrave\\OwnFolder", KEY_WOW64_64KEY, 0);
}

// A folder given this DACL (SDDL) once made: Wine keeps of it what the host's mode bits can
// say (the grants to Everyone), and a mode set afterwards is not cut by the umask.
inline void makeFolderWith(const std::wstring& path, const wchar_t* sddl) {
    ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr)) << ::GetLastError();
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1,
                                                                       &descriptor, nullptr));
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    ::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted);
    HANDLE h =
        ::CreateFileW(path.c_str(), READ_CONTROL | WRITE_DAC, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(::SetSecurityInfo(h, SE_FILE_OBJECT,
                                DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                nullptr, nullptr, dacl, nullptr),
              static_cast<DWORD>(ERROR_SUCCESS));
    ::CloseHandle(h);
    ::LocalFree(descriptor);
}

inline std::wstring recordedOwnFolder() {
    wchar_t name[64] = L"";
    DWORD size = sizeof name;
    ::RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Kestrave\\OwnFolder", nullptr, RRF_RT_REG_SZ,
                   nullptr, name, &size);
    return name;
}

// Each test starts and ends with no folder of the program's own and keeping not chosen.
struct KeepFixture : ::testing::Test {
    App app{::GetModuleHandleW(nullptr)};
    std::wstring spool = app.files.systemDirectory() + L"\\spool\\PRINTERS";
    NoSteps steps;
    KeepFixture() {
        removeTree(kOwn);
        removeOwnReplacements();
    }
    ~KeepFixture() override {
        removeTree(kOwn);
        removeOwnReplacements();
        ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, keepkeys::kMachine, keepkeys::kKeep);
    }
    SpoolerWorld world() {
        return {app.scm, app.registry, app.processes, app.files, app.ui, app.lock};
    }
};

} // namespace kestrave::test
