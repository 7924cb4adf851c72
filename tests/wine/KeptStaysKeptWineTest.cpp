// What a standard user can plant or a clock can do, against the real file system: a sparse
// file costing nothing that claims the whole bound, a kept repair dated for 2099. What was
// kept stays kept, and /restore brings back the repair just made.
#include <gtest/gtest.h>

#include "core/keep/KeptRepairs.h"
#include "core/spooler/OutcomeText.h"
#include "core/spooler/SpoolerRepair.h"
#include "core/spooler/SpoolerRestore.h"
#include "tests/wine/KeepFiles.h"
#include "tests/wine/WineSupport.h"

using namespace kestrave;
using namespace kestrave::test;

namespace {

// A file of `size` bytes to its end that holds none of them on disk.
void sparse(const std::wstring& path, std::int64_t size) {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << ::GetLastError();
    LARGE_INTEGER at{};
    at.QuadPart = size;
    ASSERT_TRUE(::SetFilePointerEx(h, at, nullptr, FILE_BEGIN));
    ASSERT_TRUE(::SetEndOfFile(h));
    ::CloseHandle(h);
}

struct KeptStaysKept : KeepFixture {
    KeptStaysKept() {
        EXPECT_TRUE(test::serviceTo(L"Spooler", SERVICE_RUNNING));
        ::CreateDirectoryW(spool.c_str(), nullptr);
    }
    ~KeptStaysKept() override {
        for (const std::wstring& n : names(spool)) {
            ::DeleteFileW((spool + L"\\" + n).c_str());
        }
    }
    Outcome keepingRepair() { return SpoolerRepair(world(), steps, {}, KeepRequest::Keep).run(); }
    std::vector<std::wstring> keptRepairs() {
        std::vector<std::wstring> out = names(kKept);
        std::sort(out.begin(), out.end());
        return out;
    }
};

TEST_F(KeptStaysKept, ASparseFileAtTheBoundOrOverItPrunesNothingAndTheRealJobIsKept) {
    write(spool + L"\\FP00001.SPL", "first");
    ASSERT_EQ(keepingRepair().filesKept, 1u);
    write(spool + L"\\FP00002.SPL", "second");
    ASSERT_EQ(keepingRepair().filesKept, 1u);
    const std::vector<std::wstring> before = keptRepairs();
    ASSERT_EQ(before.size(), 2u);

    for (const std::int64_t size : {std::int64_t{1} << 30, (std::int64_t{1} << 30) + 1}) {
        write(spool + L"\\FP00003.SPL", "the real job");
        write(spool + L"\\FP00003.SHD", "its shadow");
        sparse(spool + L"\\FP00099.SPL", size);
        const Outcome o = keepingRepair();
        EXPECT_TRUE(succeeded(Operation::Repair, o)) << size;
        // The kept repairs before it are all there, with their files.
        for (const std::wstring& r : before) {
            EXPECT_EQ(names(kKept + L"\\" + r).size(), 1u) << r << " after " << size;
        }
        EXPECT_EQ(read(o.keptIn + L"\\FP00003.SPL"), "the real job") << size;
        EXPECT_TRUE(names(spool).empty());
        // And /restore brings back the repair just made, the planted file with it if kept.
        const Outcome back = SpoolerRestore(world(), steps).run();
        EXPECT_EQ(back.keptIn, o.keptIn);
        EXPECT_EQ(read(spool + L"\\FP00003.SHD"), "its shadow");
        ::DeleteFileW((spool + L"\\FP00003.SPL").c_str());
        ::DeleteFileW((spool + L"\\FP00003.SHD").c_str());
        ::DeleteFileW((spool + L"\\FP00099.SPL").c_str());
    }
    EXPECT_EQ(keptRepairs(), before);
}

TEST_F(KeptStaysKept, AKeptRepairDatedFor2099IsNotTheLastOne) {
    ASSERT_NO_THROW(app.files.openKeepFolder(true));
    const std::wstring future = kKept + L"\\20991231-235959";
    ASSERT_TRUE(::CreateDirectoryW(future.c_str(), nullptr));
    write(future + L"\\FP00020.SPL", "stale");
    write(spool + L"\\FP00021.SPL", "fresh");
    const Outcome o = keepingRepair();
    ASSERT_EQ(o.filesKept, 1u);
    const Outcome back = SpoolerRestore(world(), steps).run();
    EXPECT_TRUE(succeeded(Operation::Restore, back));
    EXPECT_EQ(back.keptIn, o.keptIn);
    EXPECT_EQ(read(spool + L"\\FP00021.SPL"), "fresh");
    EXPECT_EQ(read(spool + L"\\FP00020.SPL"), "(missing)") << "the stale job stays kept";
    EXPECT_EQ(read(future + L"\\FP00020.SPL"), "stale");
}

} // namespace
