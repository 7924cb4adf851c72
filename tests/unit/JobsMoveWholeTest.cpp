// A job's files move together or not at all, and each outcome says what happened: a disk
// that fills in the middle of a job (both ways), a take-back that fails, a held file, a
// printer's own spool folder, a disable whose spooler is started again meanwhile.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/spooler/OutcomeText.h"
#include "core/spooler/SpoolerDisable.h"
#include "core/spooler/SpoolerRepair.h"
#include "core/spooler/SpoolerRestore.h"
#include "tests/fakes/KeepScene.h"

using namespace kestrave;

namespace {

constexpr std::uint32_t kDiskFull = 112; // ERROR_DISK_FULL

// Keeping is the machine's choice here.
struct JobsMoveWhole : test::KeepStage {
    const std::wstring printers = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";

    JobsMoveWhole() { w.registry.setDword(keepkeys::kMachine, keepkeys::kKeep, 1); }
    void job(const std::wstring& folder, const std::wstring& name) {
        w.files.addFile(folder, name + L".SPL");
        w.files.addFile(folder, name + L".SHD");
    }
    std::vector<std::wstring> sorted(const std::wstring& folder) {
        std::vector<std::wstring> n = w.files.names(folder);
        std::sort(n.begin(), n.end());
        return n;
    }
    // Moves into `into` fail once `allowed` of them went: a volume that fills up.
    void fillsAfter(const std::wstring& into, int allowed) {
        w.files.onMove = [this, into, allowed, n = 0](const std::wstring&, const std::wstring&,
                                                      const std::wstring& to) mutable {
            return to.rfind(into, 0) == 0 && n++ >= allowed ? kDiskFull : 0u;
        };
    }
    static bool has(const std::vector<Problem>& list, const Problem& p) {
        return std::find(list.begin(), list.end(), p) != list.end();
    }
};

TEST_F(JobsMoveWhole, ADiskThatFillsInTheMiddleOfAJobDeletesItWholeNeverHalfKept) {
    job(spool, L"FP00001");
    job(spool, L"FP00002");
    fillsAfter(kept, 3); // the first job, and half of the second
    const Outcome o = repair();
    EXPECT_EQ(o.filesKept, 2u);
    EXPECT_EQ(o.filesDeleted, 2u);
    EXPECT_EQ(sorted(o.keptIn), (std::vector<std::wstring>{L"FP00001.SHD", L"FP00001.SPL"}));
    EXPECT_TRUE(w.files.names(spool).empty());
    EXPECT_TRUE(has(o.notes, {ProblemKind::FileNotKept, kDiskFull, L"FP00002"}));
    EXPECT_TRUE(succeeded(Operation::Repair, o)) << "the queue is empty; the note says why";
}

TEST_F(JobsMoveWhole, ADiskThatFillsInTheMiddleOfARestoreLeavesTheJobKeptWhole) {
    job(spool, L"FP00001");
    job(spool, L"FP00002");
    const std::wstring repaired = repair().keptIn;
    fillsAfter(spool, 3);
    const Outcome o = restore();
    EXPECT_FALSE(succeeded(Operation::Restore, o));
    EXPECT_EQ(o.jobsRestored, 1u);
    EXPECT_EQ(sorted(spool), (std::vector<std::wstring>{L"FP00001.SHD", L"FP00001.SPL"}));
    EXPECT_EQ(sorted(repaired), (std::vector<std::wstring>{L"FP00002.SHD", L"FP00002.SPL"}));
    EXPECT_TRUE(std::any_of(o.problems.begin(), o.problems.end(), [](const Problem& p) {
        return p.kind == ProblemKind::JobNotRestored && p.subject == L"FP00002";
    }));
}

TEST_F(JobsMoveWhole, ATakeBackThatFailsTooIsAProblemNamedFileByFile) {
    job(spool, L"FP00001");
    // Into the kept folder: the first file goes, the second does not; nothing comes back.
    w.files.onMove = [n = 0](const std::wstring&, const std::wstring&,
                             const std::wstring&) mutable { return n++ == 0 ? 0u : kDiskFull; };
    Outcome o = repair();
    EXPECT_FALSE(succeeded(Operation::Repair, o));
    EXPECT_TRUE(has(o.problems, {ProblemKind::JobSplit, kDiskFull, L"FP00001.SPL"}));
    EXPECT_EQ(o.filesKept, 1u) << "the file that stayed kept is counted where it is";
    EXPECT_EQ(o.filesDeleted, 1u);

    // The same the other way: a restore's take-back that fails leaves a named problem.
    w.files.onMove = nullptr;
    w.files.clock += kFileTimeSecond;
    w.files.entries[spool].clear();
    job(spool, L"FP00002");
    const std::wstring repaired = repair().keptIn;
    w.files.onMove = [n = 0](const std::wstring&, const std::wstring&,
                             const std::wstring&) mutable { return n++ == 0 ? 0u : kDiskFull; };
    o = restore();
    EXPECT_EQ(o.keptIn, repaired);
    EXPECT_TRUE(std::any_of(o.problems.begin(), o.problems.end(), [](const Problem& p) {
        return p.kind == ProblemKind::JobSplit && p.code == kDiskFull;
    }));
    EXPECT_EQ(w.files.names(repaired).size(), 1u);
}

TEST_F(JobsMoveWhole, AHeldFileKeepsItsJobWholeInTheQueueAndTheRepairEnds) {
    job(spool, L"FP00001");
    w.files.moveFails[L"FP00001.SHD"] = err::kSharingViolation; // an oplock being broken, say
    w.files.heldFor[spool + L"\\FP00001.SHD"] = -1;
    const Outcome o = repair();
    EXPECT_EQ(sorted(spool), (std::vector<std::wstring>{L"FP00001.SHD", L"FP00001.SPL"}));
    EXPECT_TRUE(
        has(o.problems, {ProblemKind::FileNotDeleted, err::kSharingViolation, L"FP00001.SHD"}));
    EXPECT_FALSE(succeeded(Operation::Repair, o));
    EXPECT_TRUE(o.spoolerRunning);
    EXPECT_EQ(w.lock.releases, 1) << "the operation lock is let go";
}

TEST_F(JobsMoveWhole, APrintersOwnFolderLosesItsJobsAndNothingElse) {
    w.registry.setString(printers + L"\\Office", L"SpoolDirectory", L"D:\\OfficeQueue");
    w.registry.setString(printers + L"\\Label", L"SpoolDirectory", L"D:\\Gone");
    job(L"D:\\OfficeQueue", L"00007");
    w.files.addFile(L"D:\\OfficeQueue", L"budget.xlsx");
    Outcome o = repair(KeepRequest::Discard);
    EXPECT_TRUE(o.problems.empty()) << "a missing printer folder holds nothing to clear";
    EXPECT_EQ(o.filesDeleted, 2u);
    EXPECT_EQ(w.files.names(L"D:\\OfficeQueue"), std::vector<std::wstring>{L"budget.xlsx"});
    EXPECT_TRUE(succeeded(Operation::Repair, o));

    // Refused as the spooler's own folder would be: named, exit 1, nothing touched.
    job(L"D:\\OfficeQueue", L"00008");
    w.files.standings[L"D:\\OfficeQueue"] = FolderStanding::OpenToOthers;
    o = repair(KeepRequest::Discard);
    EXPECT_TRUE(has(o.problems, {ProblemKind::SpoolFolderOpenToOthers, 0, L"D:\\OfficeQueue"}));
    EXPECT_FALSE(succeeded(Operation::Repair, o));
    EXPECT_EQ(w.files.names(L"D:\\OfficeQueue").size(), 3u);

    // Keeping: its jobs could not go back there, so they stay, and that is said.
    w.files.standings.clear();
    o = repair(KeepRequest::Keep);
    EXPECT_TRUE(has(o.problems, {ProblemKind::PrinterFolderNotKept, 0, L"D:\\OfficeQueue"}));
    EXPECT_EQ(w.files.names(L"D:\\OfficeQueue").size(), 3u);
}

TEST_F(JobsMoveWhole, TheDisablesVerdictIsTheStateAtTheEnd) {
    auto& s = w.scm.services.at(L"Spooler");
    // Started again by something else once stopped, before the start type took effect.
    bool restarted = false;
    w.scm.onQueryStatus = [&] {
        if (!restarted && s.state == scm::kStopped && s.startType == scm::kDisabled) {
            restarted = true;
            s.state = scm::kRunning;
        }
    };
    const Outcome o = SpoolerDisable(world(), steps).run();
    EXPECT_TRUE(o.startTypeChanged);
    EXPECT_FALSE(o.spoolerStopped);
    EXPECT_FALSE(succeeded(Operation::Disable, o));
}

} // namespace
