#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/App.h"
#include "core/keep/KeepSettings.h"
#include "core/spooler/OutcomeText.h"
#include "core/spooler/SpoolerRepair.h"
#include "core/spooler/SpoolerRestore.h"
#include "platform/SystemError.h"
#include "platform/win32/FileTrust.h"
#include "platform/win32/Win32OpenFolder.h"
#include "tests/wine/WineSupport.h"

#include <sddl.h>

using namespace kestrave;

namespace {

const std::wstring kOwn = L"C:\\ProgramData\\Kestrave";
const std::wstring kKept = kOwn + L"\\Cleared";

struct NoSteps : IOperationObserver {
    void step(Step, std::size_t, std::size_t) override {}
};

void write(const std::wstring& path, const std::string& bytes) {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << ::GetLastError();
    DWORD n = 0;
    ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
    ::CloseHandle(h);
}

std::string read(const std::wstring& path) {
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

std::vector<std::wstring> names(const std::wstring& folder) {
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
void removeTree(const std::wstring& path) {
    for (const std::wstring& n : names(path)) {
        const std::wstring child = path + L"\\" + n;
        if (::GetFileAttributesW(child.c_str()) & FILE_ATTRIBUTE_DIRECTORY) {
            removeTree(child);
        } else {
            ::DeleteFileW(child.c_str());
        }
    }
    ::RemoveDirectoryW(path.c_str());
}

struct KeepWine : ::testing::Test {
    App app{::GetModuleHandleW(nullptr)};
    std::wstring spool = app.files.systemDirectory() + L"\\spool\\PRINTERS";
    NoSteps steps;
    KeepWine() { removeTree(kOwn); }
    ~KeepWine() override {
        removeTree(kOwn);
        ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, keepkeys::kMachine, keepkeys::kKeep);
    }
    SpoolerWorld world() {
        return {app.scm, app.registry, app.processes, app.files, app.ui, app.lock};
    }
};

TEST_F(KeepWine, TheFolderIsMadeForAdministratorsAloneAndCheckedEachTime) {
    EXPECT_THROW(app.files.openKeepFolder(false), SystemError) << "not made until asked";
    {
        const auto kept = app.files.openKeepFolder(true);
        EXPECT_EQ(kept->path(), kKept);
    }
    const DWORD attributes = ::GetFileAttributesW(kKept.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_NO_THROW(app.files.openKeepFolder(false));
    // What Wine reads back of the DACL it was made with admits nobody but the system's
    // accounts and this one.
    HANDLE h = ::CreateFileW(kKept.c_str(), READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(win32::checkAdminOnlyAccess(h), 0u);
    ::CloseHandle(h);

    // A Kestrave folder made beforehand, open to everyone, is refused, not used.
    removeTree(kOwn);
    PSECURITY_DESCRIPTOR open = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(
        L"D:P(A;OICI;FA;;;WD)", SDDL_REVISION_1, &open, nullptr));
    SECURITY_ATTRIBUTES everyone{sizeof everyone, open, FALSE};
    ASSERT_TRUE(::CreateDirectoryW(kOwn.c_str(), &everyone));
    ::LocalFree(open);
    h = ::CreateFileW(kOwn.c_str(), READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const std::uint32_t check = win32::checkAdminOnlyAccess(h);
    ::CloseHandle(h);
    if (check == 0) {
        GTEST_SKIP() << "this Wine does not keep the Everyone entry it was given";
    }
    try {
        app.files.openKeepFolder(true);
        ADD_FAILURE() << "a folder open to everyone was used";
    } catch (const SystemError& e) {
        EXPECT_EQ(e.code(), static_cast<std::uint32_t>(ERROR_ACCESS_DENIED));
    }
}

TEST_F(KeepWine, ARepairKeepsTheQueueInADatedFolderAndRestorePutsItBack) {
    ASSERT_TRUE(test::serviceTo(L"Spooler", SERVICE_RUNNING));
    ::CreateDirectoryW(spool.c_str(), nullptr);
    write(spool + L"\\FP00031.SPL", "spooled pages");
    write(spool + L"\\FP00031.SHD", "shadow");
    ASSERT_EQ(writeKeepChoice(app.registry, true), 0u);
    Outcome o = SpoolerRepair(world(), steps).run();
    EXPECT_TRUE(succeeded(Operation::Repair, o)) << o.problems.size() << " problems";
    EXPECT_EQ(o.filesKept, 2u);
    EXPECT_EQ(o.keptIn.rfind(kKept + L"\\20", 0), 0u);
    EXPECT_TRUE(names(spool).empty());
    EXPECT_EQ(read(o.keptIn + L"\\FP00031.SPL"), "spooled pages");
    EXPECT_EQ(test::serviceState(L"Spooler"), static_cast<DWORD>(SERVICE_RUNNING));
    // Under Wine the spooler reads none of these files: what is shown here is the moves.
    o = SpoolerRestore(world(), steps).run();
    EXPECT_TRUE(succeeded(Operation::Restore, o));
    EXPECT_EQ(o.jobsRestored, 1u);
    EXPECT_EQ(read(spool + L"\\FP00031.SPL"), "spooled pages");
    EXPECT_EQ(read(spool + L"\\FP00031.SHD"), "shadow");
    EXPECT_EQ(names(kKept).size(), 0u) << "the emptied repair's folder is gone";
    EXPECT_EQ(test::serviceState(L"Spooler"), static_cast<DWORD>(SERVICE_RUNNING));
    // Not chosen: deleted as before, and nothing kept.
    ASSERT_EQ(writeKeepChoice(app.registry, false), 0u);
    o = SpoolerRepair(world(), steps).run();
    EXPECT_EQ(o.filesDeleted, 2u);
    EXPECT_EQ(o.filesKept, 0u);
    EXPECT_TRUE(names(kKept).empty());
}

TEST_F(KeepWine, AMoveToAnotherFileSystemIsACopyThenADelete) {
    // Z: is the host's root; /dev/shm is another file system than the prefix's drive C:.
    const std::wstring other = L"Z:\\dev\\shm\\kestrave-keep-" +
                               std::to_wstring(::GetCurrentProcessId()) + L"-" +
                               std::to_wstring(::GetTickCount64());
    ASSERT_TRUE(::CreateDirectoryW(other.c_str(), nullptr)) << ::GetLastError();
    write(other + L"\\FP00040.SPL", std::string(300000, 'p'));
    {
        const auto kept = app.files.openKeepFolder(true);
        const auto into = kept->createFolder(L"across");
        const auto from = win32::openFolderByHandle(other);
        EXPECT_EQ(from->moveEntryTo(L"FP00040.SPL", *into), 0u);
        EXPECT_EQ(read(kKept + L"\\across\\FP00040.SPL").size(), 300000u);
        EXPECT_TRUE(names(other).empty());
        // Never over a file of the same name.
        write(other + L"\\FP00040.SPL", "new");
        EXPECT_EQ(from->moveEntryTo(L"FP00040.SPL", *into),
                  static_cast<std::uint32_t>(ERROR_FILE_EXISTS));
        EXPECT_EQ(read(other + L"\\FP00040.SPL"), "new");
    }
    removeTree(other); // once the folder is no longer held
    EXPECT_EQ(::GetFileAttributesW(other.c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
