// What a standard user on the same machine can plant or squat, and what a clock that jumps
// can do, against the stand-ins: nothing that was kept is lost, nothing to be kept is
// deleted for it, and a restore takes the repair that really came last.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/keep/KeptRepairs.h"
#include "core/keep/UtcTime.h"
#include "core/spooler/OutcomeText.h"
#include "core/spooler/SpoolerRepair.h"
#include "core/spooler/SpoolerRestore.h"
#include "tests/fakes/KeepScene.h"

using namespace kestrave;

namespace {

constexpr std::uint64_t kGiB = 1ull << 30;

struct KeptStaysKept : test::KeepStage {
    KeptStaysKept() { w.registry.setDword(keepkeys::kMachine, keepkeys::kKeep, 1); }
    // Two earlier repairs, each having kept one job.
    std::vector<std::wstring> twoKeptRepairs() {
        std::vector<std::wstring> made;
        for (const wchar_t* job : {L"FP00001.SPL", L"FP00002.SPL"}) {
            w.files.addFile(spool, job, fileattr::kArchive, 4096);
            made.push_back(repair().keptIn);
            w.files.clock += 60 * kFileTimeSecond;
        }
        return made;
    }
    std::size_t filesIn(const std::wstring& folder) { return w.files.names(folder).size(); }
    bool noted(const Outcome& o, ProblemKind kind, const std::wstring& subject) {
        return std::any_of(o.notes.begin(), o.notes.end(), [&](const Problem& p) {
            return p.kind == kind && p.subject == subject;
        });
    }
};

TEST_F(KeptStaysKept, ASparseFileAtOrOverTheBoundNeitherPrunesWhatIsKeptNorDeletesTheQueue) {
    const std::vector<std::wstring> before = twoKeptRepairs();
    // 1 GiB to its end, nothing on disk: it costs nothing to keep, so it is kept.
    w.files.addFile(spool, L"FP00003.SPL", fileattr::kArchive, 700);
    w.files.addSparseFile(spool, L"FP09999.SPL", kGiB, 0);
    Outcome o = repair();
    EXPECT_EQ(o.filesKept, 2u);
    EXPECT_EQ(o.filesDeleted, 0u);
    for (const std::wstring& r : before) {
        EXPECT_EQ(filesIn(r), 1u) << r;
    }
    // One that really occupies the whole bound, and one byte over it: that job goes, named;
    // the real job beside it and every kept repair stay.
    for (const std::uint64_t size : {kGiB, kGiB + 1}) {
        w.files.clock += 60 * kFileTimeSecond;
        w.files.addFile(spool, L"FP00004.SPL", fileattr::kArchive, 700);
        w.files.addSparseFile(spool, L"FP09998.SPL", size, size);
        o = repair();
        EXPECT_EQ(o.filesKept, 1u) << size;
        EXPECT_EQ(o.filesDeleted, 1u) << size;
        EXPECT_TRUE(noted(o, ProblemKind::KeepTooLarge, L"FP09998")) << size;
        EXPECT_EQ(w.files.names(o.keptIn), std::vector<std::wstring>{L"FP00004.SPL"});
        EXPECT_TRUE(succeeded(Operation::Repair, o));
        for (const std::wstring& r : before) {
            EXPECT_EQ(filesIn(r), 1u) << r << " after " << size;
        }
        EXPECT_EQ(restore().keptIn, o.keptIn) << "the repair just made is the one restored";
        w.files.entries[spool].clear();
    }
}

TEST_F(KeptStaysKept, ASparseTerabyteIsNeverCopiedToAnotherVolume) {
    w.files.keepRoot = L"D:\\Kestrave\\Cleared"; // the queue on C:, what is kept on D:
    w.files.addFile(spool, L"FP00005.SPL", fileattr::kArchive, 900);
    w.files.addFile(spool, L"FP00005.SHD", fileattr::kArchive, 300);
    w.files.addSparseFile(spool, L"FP09997.SPL", 1ull << 40, 4096);
    const Outcome o = repair();
    EXPECT_EQ(w.files.copies, 2) << "the job's two files, never the terabyte";
    EXPECT_EQ(o.filesKept, 2u);
    EXPECT_TRUE(noted(o, ProblemKind::KeepNoRoom, L"FP09997"));
    EXPECT_TRUE(w.files.names(spool).empty());
}

TEST_F(KeptStaysKept, AClockSetAheadThenPutRightOrdersNothingAndPrunesNothingItShouldNot) {
    const std::uint64_t today = w.files.clock;
    w.files.addFile(spool, L"FP00010.SPL");
    const std::wstring real = repair().keptIn;
    // Set far ahead: every kept repair looks years old, yet the last one stays.
    w.files.clock = *fileTimeOf({2099, 12, 31, 23, 59, 59});
    w.files.addFile(spool, L"FP00011.SPL");
    const std::wstring ahead = repair().keptIn;
    EXPECT_EQ(filesIn(real), 1u) << "too old by this clock, but the last one: kept";
    // Put right: the repair made now is the last, though its name is dated earlier.
    w.files.clock = today + 3600 * kFileTimeSecond;
    w.files.addFile(spool, L"FP00012.SPL");
    const std::wstring now = repair().keptIn;
    EXPECT_EQ(filesIn(ahead), 1u) << "a time ahead counts as now: not too old";
    EXPECT_EQ(restore().keptIn, now);
    EXPECT_EQ(w.files.names(spool), std::vector<std::wstring>{L"FP00012.SPL"});
    EXPECT_EQ(restore().keptIn, ahead);
}

TEST_F(KeptStaysKept, AFolderDatedInTheFutureWithoutANumberIsNeverTheLast) {
    w.files.addFolder(kept, L"20991231-235959");
    w.files.addFile(kept + L"\\20991231-235959", L"FP00020.SPL");
    w.files.addFile(spool, L"FP00021.SPL");
    const Outcome o = repair();
    const Outcome back = restore();
    EXPECT_EQ(back.keptIn, o.keptIn);
    EXPECT_EQ(w.files.names(spool), std::vector<std::wstring>{L"FP00021.SPL"});
    EXPECT_EQ(filesIn(kept + L"\\20991231-235959"), 1u) << "kept, and not pruned for its date";
    // By its name it is still there to be restored.
    EXPECT_EQ(restore(L"20991231-235959").jobsRestored, 1u);
}

TEST_F(KeptStaysKept, AConfiguredFolderIsClearedAndRestoredThroughTheHandleItWasCheckedBy) {
    const std::wstring configured = L"D:\\Spool";
    w.registry.setString(L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers",
                         L"DefaultSpoolDirectory", configured);
    w.files.addFile(configured, L"00001.SPL");
    w.files.addFile(L"D:\\Theirs", L"thesis.docx");
    // Renamed away, and another folder put in its place, right after it was checked.
    const auto swap = [&] { w.files.swappedFor[configured] = L"D:\\Theirs"; };
    w.files.afterConfiguredOpen = swap;
    const Outcome o = repair();
    EXPECT_TRUE(o.problems.empty());
    EXPECT_EQ(o.filesKept, 1u);
    EXPECT_EQ(w.files.names(L"D:\\Theirs"), std::vector<std::wstring>{L"thesis.docx"});
    EXPECT_EQ(w.files.configuredOpens, 1) << "checked and opened once, never by name again";
    w.files.swappedFor.clear();
    const Outcome back = restore();
    EXPECT_EQ(back.jobsRestored, 1u);
    EXPECT_EQ(w.files.names(configured), std::vector<std::wstring>{L"00001.SPL"});
    EXPECT_EQ(w.files.names(L"D:\\Theirs"), std::vector<std::wstring>{L"thesis.docx"});
}

TEST_F(KeptStaysKept, NumbersComeAfterEveryKeptRepairAndNamesOfAnotherFormStayUnread) {
    EXPECT_EQ(parseKeptFolderName(L"20261208-043000_17")->sequence, 17u);
    EXPECT_EQ(parseKeptFolderName(L"20261208-043000-2")->sequence, 0u) << "an earlier release's";
    EXPECT_EQ(parseKeptFolderName(L"20261208-043000")->sequence, 0u);
    for (const wchar_t* bad : {L"20261208-043000_", L"20261208-043000_0", L"20261208-043000_07",
                               L"20261208-043000_1234567890", L"20261208-043000_1a"}) {
        EXPECT_FALSE(parseKeptFolderName(bad)) << bad;
    }
    w.files.addFolder(kept, L"20261201-000000_41");
    w.files.addFolder(kept, L"20991231-235959");
    w.files.addFile(spool, L"FP00030.SPL");
    EXPECT_EQ(repair().keptIn, kept + L"\\20261208-043000_42");
}

} // namespace
