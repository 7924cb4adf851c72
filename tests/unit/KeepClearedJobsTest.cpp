// Keeping what a repair clears, and putting it back, against the stand-ins: where the files
// go, when they are deleted after all and why, how the kept repairs are bounded, and how
// jobs return to the queue.
#include <gtest/gtest.h>

#include <algorithm>

#include "cli/CommandLineRun.h"
#include "core/keep/KeptRepairs.h"
#include "core/keep/UtcTime.h"
#include "core/spooler/SpoolerRepair.h"
#include "core/spooler/SpoolerRestore.h"
#include "tests/fakes/FakeConsole.h"
#include "tests/fakes/KeepScene.h"

using namespace kestrave;

namespace {

constexpr std::uint64_t kDay = 86'400 * kFileTimeSecond;

struct KeepTest : test::KeepStage {
    void queue(std::initializer_list<const wchar_t*> names, std::uint64_t size = 100) {
        for (const wchar_t* n : names) {
            w.files.addFile(spool, n, fileattr::kArchive, size);
        }
    }
    // A kept repair made `daysAgo` days before now, holding files of `bytes` each.
    std::wstring keptRepair(double daysAgo, std::initializer_list<const wchar_t*> files,
                            std::uint64_t bytes = 100) {
        const auto at = w.files.clock - static_cast<std::uint64_t>(daysAgo * kDay);
        const std::wstring name = keptFolderName(at);
        w.files.addFolder(kept, name);
        for (const wchar_t* f : files) {
            w.files.addFile(kept + L"\\" + name, f, fileattr::kArchive, bytes);
        }
        return name;
    }
    static bool has(const std::vector<Problem>& list, ProblemKind kind) {
        return std::any_of(list.begin(), list.end(),
                           [&](const Problem& p) { return p.kind == kind; });
    }
    void setMachine(std::uint32_t keep) {
        w.registry.setDword(keepkeys::kMachine, keepkeys::kKeep, keep);
    }
    void setPolicy(const wchar_t* name, std::uint32_t v) {
        w.registry.setDword(keepkeys::kPolicy, name, v);
    }
};

TEST_F(KeepTest, KeptWhenChosenDeletedWhenNotAndTheRunsOwnSwitchWins) {
    queue({L"FP00001.SPL", L"FP00001.SHD"});
    Outcome o = repair();
    EXPECT_EQ(o.filesDeleted, 2u);
    EXPECT_EQ(o.filesKept, 0u);
    EXPECT_EQ(w.files.folders.count(kept), 0u) << "a repair that deletes makes no folder";

    setMachine(1);
    queue({L"FP00002.SPL", L"FP00002.SHD"});
    o = repair();
    EXPECT_EQ(o.filesKept, 2u);
    EXPECT_EQ(o.filesDeleted, 0u);
    EXPECT_TRUE(o.spoolerRunning);
    EXPECT_EQ(o.keptIn, kept + L"\\20261208-043000_1");
    EXPECT_TRUE(w.files.names(spool).empty()) << "the spooler sees an empty folder";
    EXPECT_EQ(w.files.names(o.keptIn), (std::vector<std::wstring>{L"FP00002.SPL", L"FP00002.SHD"}));
    ASSERT_EQ(o.keptJobs.size(), 1u);
    EXPECT_EQ(o.keptJobs[0].name, L"FP00002");
    EXPECT_TRUE(has(o.notes, ProblemKind::JobsKept));
    EXPECT_TRUE(succeeded(Operation::Repair, o));

    // /discard deletes whatever the setting; the next kept repair is numbered after it.
    queue({L"FP00003.SPL"});
    o = repair(KeepRequest::Discard);
    EXPECT_EQ(o.filesDeleted, 1u);
    EXPECT_EQ(o.filesKept, 0u);
    queue({L"FP00004.SPL"});
    o = repair(KeepRequest::Keep);
    EXPECT_EQ(o.keptIn, kept + L"\\20261208-043000_2");

    setMachine(0);
    queue({L"FP00005.SPL"});
    EXPECT_EQ(repair(KeepRequest::Keep).filesKept, 1u);
}

TEST_F(KeepTest, PolicyWinsOverTheMachinesChoiceValueByValue) {
    setMachine(1);
    setPolicy(keepkeys::kKeep, 0);
    KeepSettings s = readKeepSettings(w.registry);
    EXPECT_FALSE(s.keep);
    EXPECT_TRUE(s.keepByPolicy);
    queue({L"FP00001.SPL"});
    EXPECT_EQ(repair().filesKept, 0u);

    setPolicy(keepkeys::kKeep, 1);
    setMachine(0);
    setPolicy(keepkeys::kDays, 2);
    setPolicy(keepkeys::kMegabytes, 10);
    s = readKeepSettings(w.registry);
    EXPECT_TRUE(s.keep);
    EXPECT_EQ(s.days, 2u);
    EXPECT_EQ(s.bytes, 10u << 20);
    // Out of range or of another type: as if unset.
    setPolicy(keepkeys::kKeep, 7);
    setPolicy(keepkeys::kDays, 0);
    w.registry.setString(keepkeys::kPolicy, keepkeys::kMegabytes, L"10");
    s = readKeepSettings(w.registry);
    EXPECT_FALSE(s.keep);
    EXPECT_FALSE(s.keepByPolicy);
    EXPECT_EQ(s.days, 7u);
    EXPECT_EQ(s.bytes, 1ull << 30);
    EXPECT_EQ(writeKeepChoice(w.registry, true), 0u);
    EXPECT_TRUE(readKeepSettings(w.registry).keep);
}

TEST_F(KeepTest, AFolderThatFailsItsCheckIsPassedOverAndNothingToBeKeptIsEverDeleted) {
    setMachine(1);
    // Kestrave made first by a standard user: left, named, and a folder of the program's own
    // used instead.
    w.files.keepPassedOver = L"C:\\ProgramData\\Kestrave";
    w.files.keepRoot = L"C:\\ProgramData\\Kestrave-0f3a\\Cleared";
    queue({L"FP00001.SPL", L"FP00001.SHD"});
    Outcome o = repair();
    EXPECT_EQ(o.filesKept, 2u);
    EXPECT_EQ(o.filesDeleted, 0u);
    EXPECT_EQ(o.keptIn, w.files.keepRoot + L"\\20261208-043000_1");
    EXPECT_TRUE(std::find(o.notes.begin(), o.notes.end(),
                          Problem{ProblemKind::KeepFolderPassedOver, 0, w.files.keepPassedOver}) !=
                o.notes.end());
    EXPECT_TRUE(succeeded(Operation::Repair, o));
    EXPECT_EQ(restore().jobsRestored, 1u);

    // Not even a folder of its own: the queue stays as it was, and the repair says so.
    w.files.keepRefusal = err::kAccessDenied;
    o = repair();
    EXPECT_EQ(o.filesDeleted, 0u);
    EXPECT_EQ(o.filesKept, 0u);
    EXPECT_EQ(w.files.names(spool).size(), 2u);
    ASSERT_TRUE(has(o.problems, ProblemKind::KeepFolderRefused));
    EXPECT_FALSE(succeeded(Operation::Repair, o));
    EXPECT_TRUE(o.spoolerRunning) << "started again all the same";
    // Asked to delete, it deletes: only keeping needs the folder.
    EXPECT_EQ(repair(KeepRequest::Discard).filesDeleted, 2u);
}

TEST_F(KeepTest, AJobTooLargeToKeepIsDeletedAndSaidSo) {
    setMachine(1);
    setPolicy(keepkeys::kMegabytes, 1);
    queue({L"FP00001.SPL"}, 2u << 20);
    Outcome o = repair();
    EXPECT_EQ(o.filesDeleted, 1u);
    ASSERT_TRUE(has(o.notes, ProblemKind::KeepTooLarge));
    EXPECT_EQ(o.notes.front(), (Problem{ProblemKind::KeepTooLarge, 0, L"FP00001", 2u}));

    setPolicy(keepkeys::kMegabytes, 100);
    w.files.freeSpace = 3u << 20; // the queue is more than half of it
    queue({L"FP00002.SPL"}, 2u << 20);
    o = repair();
    EXPECT_EQ(o.filesDeleted, 1u);
    EXPECT_TRUE(has(o.notes, ProblemKind::KeepNoRoom));
}

TEST_F(KeepTest, AJobThatCannotBeMovedWholeIsDeletedWholeNeverHalfKept) {
    setMachine(1);
    queue({L"FP00001.SPL", L"FP00001.SHD", L"FP00003.SPL"});
    w.files.moveFails[L"FP00001.SPL"] = err::kAccessDenied;
    const Outcome o = repair();
    EXPECT_EQ(o.filesKept, 1u) << "the other job";
    EXPECT_EQ(o.filesDeleted, 2u) << "both files of the job that could not go whole";
    EXPECT_EQ(w.files.names(o.keptIn), std::vector<std::wstring>{L"FP00003.SPL"});
    EXPECT_TRUE(w.files.names(spool).empty());
    EXPECT_TRUE(std::find(o.notes.begin(), o.notes.end(),
                          Problem{ProblemKind::FileNotKept, err::kAccessDenied, L"FP00001"}) !=
                o.notes.end());

    // None moved at all: no empty folder is left to pass for a kept repair.
    w.files.clock += kFileTimeSecond;
    queue({L"FP00002.SPL"});
    w.files.moveFails[L"FP00002.SPL"] = err::kAccessDenied;
    const Outcome none = repair();
    EXPECT_EQ(none.filesDeleted, 1u);
    EXPECT_TRUE(none.keptIn.empty());
    EXPECT_EQ(w.files.names(kept).size(), 1u) << "only the first repair's folder";
    EXPECT_TRUE(succeeded(Operation::Repair, none)) << "a note: the queue is empty";
}

TEST_F(KeepTest, KeptRepairsArePrunedByCountAgeAndSizeOldestFirst) {
    const std::wstring old = keptRepair(8, {L"a.SPL"});
    std::vector<std::wstring> recent;
    for (double d : {5.0, 4.0, 3.0, 2.0, 1.0}) {
        recent.push_back(keptRepair(d, {L"a.SPL"}));
    }
    setMachine(1);
    queue({L"FP00001.SPL"});
    const Outcome o = repair();
    std::vector<std::wstring> left = w.files.names(kept);
    std::sort(left.begin(), left.end());
    // Past 7 days, then the oldest beyond the last five (this repair's among them).
    EXPECT_EQ(left, (std::vector<std::wstring>{recent[1], recent[2], recent[3], recent[4],
                                               keptFolderName(w.files.clock, 1)}));
    EXPECT_FALSE(has(o.notes, ProblemKind::KeptNotPruned));

    // Never by size: what is kept stays, however large what comes is.
    setPolicy(keepkeys::kMegabytes, 1);
    w.files.clock += 3600 * kFileTimeSecond;
    std::vector<Problem> notes;
    auto folder = w.files.openKeepFolder(false);
    pruneKeptRepairs(*folder, readKeepSettings(w.registry), w.files.clock, 0, notes);
    EXPECT_EQ(w.files.names(kept).size(), 5u);
    // A deleting repair prunes too, where the folder exists; ages past the bound go, but
    // never the last kept repair.
    w.files.clock += 8 * kDay;
    setMachine(0);
    repair();
    EXPECT_EQ(w.files.names(kept), (std::vector<std::wstring>{keptFolderName(
                                       w.files.clock - 8 * kDay - 3600 * kFileTimeSecond, 1)}));
}

TEST_F(KeepTest, FolderNamesAndTheirTimesRoundTripAndOtherNamesAreLeftAlone) {
    const std::uint64_t t = *fileTimeOf({2024, 2, 29, 23, 59, 59});
    EXPECT_EQ(keptFolderName(t), L"20240229-235959");
    EXPECT_EQ(keptFolderName(t, 3), L"20240229-235959_3");
    EXPECT_EQ(keptFolderTime(L"20240229-235959_3"), t);
    EXPECT_EQ(keptFolderTime(L"20240229-235959"), t);
    EXPECT_EQ(keptFolderTime(L"20240229-235959-12"), t);
    EXPECT_EQ(utcText(t), L"2024-02-29 23:59:59");
    EXPECT_EQ(utcText(*fileTimeOf({1601, 1, 1, 0, 0, 0})), L"1601-01-01 00:00:00");
    for (const wchar_t* bad : {L"20230229-120000", L"20241301-000000", L"20240101-240000",
                               L"20240101-000000-1", L"20240101-000000-", L"20240101_000000",
                               L"2024010-1000000", L"notes", L"20240101-000000-1000"}) {
        EXPECT_FALSE(keptFolderTime(bad)) << bad;
    }
    w.files.addFolder(kept, L"notes");
    w.files.addFile(kept, L"20240101-000000", fileattr::kArchive, 5); // a file, not a folder
    keptRepair(30, {L"x.SPL"});
    const std::wstring recent = keptRepair(1, {L"y.SPL"});
    auto folder = w.files.openKeepFolder(false);
    std::vector<Problem> notes;
    pruneKeptRepairs(*folder, {}, w.files.clock, 0, notes);
    EXPECT_EQ(w.files.names(kept),
              (std::vector<std::wstring>{L"notes", L"20240101-000000", recent}));
}

TEST_F(KeepTest, RestorePutsTheLastKeptRepairBackAndStartsTheSpooler) {
    keptRepair(2, {L"FP00007.SPL", L"FP00007.SHD"});
    const std::wstring last = keptRepair(1, {L"FP00008.SPL", L"FP00008.SHD", L"FP00009.SPL"});
    const Outcome o = restore();
    EXPECT_TRUE(succeeded(Operation::Restore, o));
    EXPECT_EQ(o.jobsRestored, 2u);
    EXPECT_EQ(o.keptIn, kept + L"\\" + last);
    EXPECT_EQ(w.files.names(spool).size(), 3u);
    EXPECT_EQ(w.files.folders.count(kept + L"\\" + last), 0u) << "emptied, so removed";
    EXPECT_EQ(w.scm.services.at(L"Spooler").state, scm::kRunning);
    EXPECT_EQ(w.lock.releases, 1) << "under the operation lock";

    const Outcome named = restore(keptFolderName(w.files.clock - 2 * kDay));
    EXPECT_EQ(named.jobsRestored, 1u);
    EXPECT_TRUE(has(restore().problems, ProblemKind::NothingKept));
    EXPECT_TRUE(has(restore(L"20000101-000000").problems, ProblemKind::KeptNotFound));
}

TEST_F(KeepTest, ARestoreTakesTheNewestRepairHoldingFilesOrTheOneNamedInAnyCase) {
    const std::wstring older = keptRepair(3, {L"FP00001.SPL"});
    keptRepair(2, {});
    const std::wstring newest = keptRepair(1, {}); // made, but nothing was moved into it
    auto folder = w.files.openKeepFolder(false);
    EXPECT_EQ(keptRepairToRestore(*folder, w.files.clock), older);
    EXPECT_EQ(keptRepairToRestore(*folder, w.files.clock, L"20261207-043000"), newest)
        << "named: even empty";
    w.files.addFolder(kept, L"notes");
    EXPECT_EQ(keptRepairToRestore(*folder, w.files.clock, L"NOTES"), L"")
        << "not a kept repair's name";
    EXPECT_EQ(keptRepairToRestore(*folder, w.files.clock, L"20000101-000000"), L"");
}

TEST_F(KeepTest, AJobWhoseNameIsTakenStaysKeptWholeAndAFailedMoveTakesItsHalfBack) {
    const std::wstring name = keptRepair(1, {L"FP00001.SPL", L"FP00001.SHD", L"FP00002.SPL",
                                             L"FP00002.SHD", L"FP00003.SPL", L"FP00003.SHD"});
    queue({L"fp00001.shd"}); // a new job of the same number, in another case
    w.files.moveFails[L"FP00003.SHD"] = err::kAccessDenied;
    const Outcome o = restore();
    EXPECT_FALSE(succeeded(Operation::Restore, o));
    EXPECT_EQ(o.jobsRestored, 1u);
    EXPECT_TRUE(has(o.problems, ProblemKind::JobNameTaken));
    EXPECT_TRUE(has(o.problems, ProblemKind::JobNotRestored));
    std::vector<std::wstring> inQueue = w.files.names(spool);
    std::sort(inQueue.begin(), inQueue.end());
    EXPECT_EQ(inQueue, (std::vector<std::wstring>{L"FP00002.SHD", L"FP00002.SPL", L"fp00001.shd"}));
    std::vector<std::wstring> still = w.files.names(kept + L"\\" + name);
    std::sort(still.begin(), still.end());
    EXPECT_EQ(still, (std::vector<std::wstring>{L"FP00001.SHD", L"FP00001.SPL", L"FP00003.SHD",
                                                L"FP00003.SPL"}));
    EXPECT_TRUE(o.spoolerRunning) << "started again whatever happened to the jobs";
}

TEST_F(KeepTest, TheCommandLineKeepsRestoresAndRefusesTheSwitchesElsewhere) {
    fake::FakeConsole console;
    fake::FakeLogFile log;
    cli::CliWorld cw = commandLine(console, log);
    const auto run = [&](std::vector<std::wstring> args) {
        return cli::runCommandLine(cli::parseArguments(args), cw);
    };
    queue({L"FP00001.SPL", L"FP00001.SHD"});
    EXPECT_EQ(run({L"/repair", L"/KEEP"}), 0);
    EXPECT_EQ(console.out.back(),
              L"修复完成：打印机后台服务正在运行，打印队列为空（2 个文件保留在 " + kept +
                  L"\\20261208-043000_1，删除了 0 个）。");
    EXPECT_EQ(run({L"-restore:20261208-043000"}), 0);
    EXPECT_EQ(w.files.names(spool).size(), 2u);
    EXPECT_EQ(run({L"/restore"}), 1);
    EXPECT_EQ(console.out.back(), L"恢复未完成：没有可恢复的保留打印作业。");
    for (const auto& bad :
         std::vector<std::vector<std::wstring>>{{L"/keep"},
                                                {L"/status", L"/discard"},
                                                {L"/repair", L"/keep", L"/discard"},
                                                {L"/restore", L"/keep"},
                                                {L"/restore:"}}) {
        EXPECT_EQ(run(bad), 2) << bad.back();
    }
    EXPECT_EQ(console.err.front(), L"/keep 只能与 /repair 一起使用。");
    EXPECT_EQ(w.files.names(spool).size(), 2u) << "a refused command line touches nothing";
}

} // namespace
