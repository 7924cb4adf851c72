#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/App.h"
#include "core/system/AdminLock.h"
#include "core/keep/KeepSettings.h"
#include "core/spooler/OutcomeText.h"
#include "core/spooler/SpoolerRepair.h"
#include "core/spooler/SpoolerRestore.h"
#include "platform/SystemError.h"
#include "platform/win32/FileTrust.h"
#include "platform/win32/Win32OpenFolder.h"
#include "tests/wine/KeepFiles.h"
#include "tests/wine/WineSupport.h"

#include <sddl.h>

using namespace kestrave;
using namespace kestrave::test;

namespace {

using KeepWine = test::KeepFixture;

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

    // A Kestrave folder made beforehand, open to everyone, is left as it is and passed over
    // for a folder of the program's own, whose name no one could have guessed.
    removeTree(kOwn);
    makeFolderWith(kOwn, L"D:P(A;OICI;FA;;;WD)");
    h = ::CreateFileW(kOwn.c_str(), READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const std::uint32_t check = win32::checkAdminOnlyAccess(h, win32::OthersMay::Read);
    ::CloseHandle(h);
    if (check == 0) {
        GTEST_SKIP() << "this Wine does not keep the Everyone entry it was given";
    }
    std::vector<std::wstring> passedOver;
    std::wstring used;
    {
        const auto kept = app.files.openKeepFolder(true, &passedOver);
        used = kept->path();
    }
    EXPECT_EQ(passedOver, std::vector<std::wstring>{kOwn});
    EXPECT_TRUE(names(kOwn).empty()) << "nothing made in the folder it passed over";
    const std::wstring own = recordedOwnFolder();
    ASSERT_EQ(own.rfind(L"Kestrave-", 0), 0u) << "recorded in HKLM\\SOFTWARE\\Kestrave";
    EXPECT_EQ(own.size(), 41u);
    EXPECT_EQ(used, L"C:\\ProgramData\\" + own + L"\\Cleared");
    // Used from then on, without a word: it is the program's own.
    passedOver.clear();
    EXPECT_EQ(app.files.openKeepFolder(false, &passedOver)->path(), used);
    EXPECT_TRUE(passedOver.empty());
    // The operation lock's file goes there too, not into the folder passed over.
    {
        AdminLock lock(app.adminObjects, L"KeepWineTest");
        ASSERT_EQ(lock.tryAcquire().result, LockAttempt::Result::Taken);
        EXPECT_NE(
            ::GetFileAttributesW((L"C:\\ProgramData\\" + own + L"\\KeepWineTest.lock").c_str()),
            INVALID_FILE_ATTRIBUTES);
        EXPECT_TRUE(names(kOwn).empty());
    }
}

TEST_F(KeepWine, UsersMayReadKestraveButNeverCleared) {
    // The log folder's recipe: others may read Kestrave; it is used as it is. (Wine keeps
    // grants to Everyone alone, so Everyone stands for Users here.)
    makeFolderWith(kOwn, L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;WD)");
    std::vector<std::wstring> passedOver;
    EXPECT_EQ(app.files.openKeepFolder(true, &passedOver)->path(), kKept);
    EXPECT_TRUE(passedOver.empty());
    EXPECT_TRUE(recordedOwnFolder().empty());
    // Read on Cleared itself: passed over.
    removeTree(kKept);
    makeFolderWith(kKept, L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;WD)");
    const std::wstring used = app.files.openKeepFolder(true, &passedOver)->path();
    EXPECT_EQ(passedOver, std::vector<std::wstring>{kKept});
    EXPECT_EQ(used, L"C:\\ProgramData\\" + recordedOwnFolder() + L"\\Cleared");
}

TEST_F(KeepWine, AKestraveMadeBeforehandOpenToEveryoneNeitherDeletesNorLosesAJob) {
    makeFolderWith(kOwn, L"D:P(A;OICI;FA;;;WD)");
    ASSERT_TRUE(test::serviceTo(L"Spooler", SERVICE_RUNNING));
    ::CreateDirectoryW(spool.c_str(), nullptr);
    write(spool + L"\\FP00061.SPL", "pages");
    Outcome o = SpoolerRepair(world(), steps, {}, KeepRequest::Keep).run();
    EXPECT_TRUE(succeeded(Operation::Repair, o));
    EXPECT_EQ(o.filesKept, 1u);
    EXPECT_EQ(o.filesDeleted, 0u);
    EXPECT_EQ(o.keptIn.rfind(L"C:\\ProgramData\\Kestrave-", 0), 0u)
        << std::string(o.keptIn.begin(), o.keptIn.end());
    o = SpoolerRestore(world(), steps).run();
    EXPECT_EQ(o.jobsRestored, 1u);
    EXPECT_EQ(read(spool + L"\\FP00061.SPL"), "pages");
    ::DeleteFileW((spool + L"\\FP00061.SPL").c_str());
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
        std::unique_ptr<IOpenFolder> into;
        ASSERT_EQ(kept->createFolder(L"across", into), 0u);
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
