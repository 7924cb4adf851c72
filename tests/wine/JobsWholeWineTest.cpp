// Jobs that move whole and files that cannot stop a repair, on the real file system: a job
// held open while it moves to another volume, a read-only file planted in the queue, a
// printer's own spool folder holding a job beside a file that is no job.
#include <gtest/gtest.h>

#include "core/spooler/OutcomeText.h"
#include "core/spooler/SpoolerRepair.h"
#include "core/spooler/SpoolerRestore.h"
#include "platform/win32/RelativeOpen.h"
#include "tests/wine/KeepFiles.h"
#include "tests/wine/WineSupport.h"

using namespace kestrave;
using namespace kestrave::test;

namespace {

constexpr wchar_t kPrintersKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";

struct JobsWholeWine : KeepFixture {
    std::vector<std::wstring> folders;
    JobsWholeWine() {
        EXPECT_TRUE(test::serviceTo(L"Spooler", SERVICE_RUNNING));
        ::CreateDirectoryW(spool.c_str(), nullptr);
    }
    ~JobsWholeWine() override {
        ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kPrintersKey, L"DefaultSpoolDirectory");
        ::RegDeleteKeyW(HKEY_LOCAL_MACHINE,
                        (std::wstring(kPrintersKey) + L"\\KestraveOwnFolder").c_str());
        for (const std::wstring& f : folders) {
            removeTree(f);
        }
    }
    std::wstring folder(const std::wstring& path) {
        ::CreateDirectoryW(path.c_str(), nullptr);
        folders.push_back(path);
        return path;
    }
    void configure(const wchar_t* key, const wchar_t* value, const std::wstring& path) {
        ASSERT_EQ(::RegSetKeyValueW(HKEY_LOCAL_MACHINE, key, value, REG_SZ, path.c_str(),
                                    static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    Outcome repair(KeepRequest keep) { return SpoolerRepair(world(), steps, {}, keep).run(); }
};

TEST(OpenStatusWine, AnOplockBreakInProgressIsAHeldFileNotAnOpenOne) {
    EXPECT_EQ(win32::openStatusCode(0x00000108),
              static_cast<std::uint32_t>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(win32::openStatusCode(0), 0u);
    EXPECT_EQ(win32::openStatusCode(static_cast<long>(0xC0000043)),
              static_cast<std::uint32_t>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(win32::openStatusCode(static_cast<long>(0xC0000034)),
              static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
}

TEST_F(JobsWholeWine, AJobHeldHalfwayToAnotherVolumeStaysWholeInTheQueue) {
    if (::GetFileAttributesW(L"D:\\") == INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "no drive D: on another file system (scripts/wine-tests.sh makes one)";
    }
    const std::wstring queue = folder(L"D:\\kestrave-queue");
    configure(kPrintersKey, L"DefaultSpoolDirectory", queue);
    write(queue + L"\\FP00070.SPL", std::string(200000, 'p'));
    write(queue + L"\\FP00070.SHD", "shadow");
    // Another process holds the shadow file: it can be read and written, not deleted.
    HANDLE held =
        ::CreateFileW((queue + L"\\FP00070.SHD").c_str(), GENERIC_READ | GENERIC_WRITE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Outcome o = repair(KeepRequest::Keep);
    ::CloseHandle(held);
    EXPECT_FALSE(succeeded(Operation::Repair, o));
    EXPECT_EQ(read(queue + L"\\FP00070.SPL").size(), 200000u) << "taken back whole";
    EXPECT_EQ(read(queue + L"\\FP00070.SHD"), "shadow");
    EXPECT_EQ(o.filesKept, 0u);
    EXPECT_EQ(o.filesDeleted, 0u) << "a job not kept goes whole or stays whole";
    // Let go: kept whole across the volumes, and back.
    o = repair(KeepRequest::Keep);
    EXPECT_TRUE(succeeded(Operation::Repair, o));
    EXPECT_EQ(o.filesKept, 2u);
    EXPECT_EQ(o.keptIn.rfind(kKept, 0), 0u);
    EXPECT_EQ(read(o.keptIn + L"\\FP00070.SPL").size(), 200000u);
    EXPECT_TRUE(names(queue).empty());
    EXPECT_EQ(SpoolerRestore(world(), steps).run().jobsRestored, 1u);
    EXPECT_EQ(read(queue + L"\\FP00070.SHD"), "shadow");
}

TEST_F(JobsWholeWine, APlantedReadOnlyFileIsClearedKeptOrNot) {
    for (const KeepRequest keep : {KeepRequest::Discard, KeepRequest::Keep}) {
        write(spool + L"\\FP00080.SPL", "read only");
        ASSERT_TRUE(
            ::SetFileAttributesW((spool + L"\\FP00080.SPL").c_str(), FILE_ATTRIBUTE_READONLY));
        const Outcome o = repair(keep);
        EXPECT_TRUE(succeeded(Operation::Repair, o)) << o.problems.size() << " problems";
        EXPECT_TRUE(names(spool).empty());
        EXPECT_EQ(o.filesDeleted + o.filesKept, 1u);
    }
}

TEST_F(JobsWholeWine, APrintersOwnFolderLosesItsJobAndKeepsWhatIsNoJob) {
    const std::wstring own = folder(L"C:\\kestrave-printer-queue");
    const std::wstring key = std::wstring(kPrintersKey) + L"\\KestraveOwnFolder";
    configure(key.c_str(), L"SpoolDirectory", own);
    write(own + L"\\00042.SPL", "pages");
    write(own + L"\\00042.SHD", "shadow");
    write(own + L"\\notes.txt", "not a print job");
    Outcome o = repair(KeepRequest::Discard);
    EXPECT_TRUE(succeeded(Operation::Repair, o)) << o.problems.size() << " problems";
    EXPECT_EQ(o.filesDeleted, 2u);
    EXPECT_EQ(names(own), std::vector<std::wstring>{L"notes.txt"});
    // Keeping: left as it is, and said.
    write(own + L"\\00043.SPL", "pages");
    o = repair(KeepRequest::Keep);
    EXPECT_FALSE(succeeded(Operation::Repair, o));
    ASSERT_FALSE(o.problems.empty());
    EXPECT_EQ(o.problems[0].kind, ProblemKind::PrinterFolderNotKept);
    EXPECT_EQ(read(own + L"\\00043.SPL"), "pages");
}

} // namespace
