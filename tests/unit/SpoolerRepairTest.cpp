// The repair and the disable as procedures, against the stand-ins: what they stop, delete,
// configure and start, in which order, and what they report.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <new>
#include <stdexcept>

#include "core/spooler/OutcomeText.h"
#include "core/spooler/SpoolFolder.h"
#include "core/spooler/SpoolerDisable.h"
#include "core/spooler/SpoolerRepair.h"
#include "tests/fakes/FakeWorld.h"

using namespace kestrave;

namespace {

struct StepLog : IOperationObserver {
    std::vector<Step> steps;
    void step(Step s, std::size_t, std::size_t) override {
        if (steps.empty() || steps.back() != s) {
            steps.push_back(s);
        }
    }
    std::size_t at(Step s) const {
        return static_cast<std::size_t>(std::find(steps.begin(), steps.end(), s) - steps.begin());
    }
};

struct SpoolerRepairTest : ::testing::Test {
    test::FakeWorld w;
    StepLog log;
    const std::wstring spool = L"C:\\Windows\\System32\\spool\\PRINTERS";
    const std::wstring verbatim = L"\\\\?\\" + spool;
    const std::wstring spoolerKey = L"SYSTEM\\CurrentControlSet\\Services\\Spooler";
    const std::wstring printersKey = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";

    SpoolerWorld world() { return {w.scm, w.registry, w.processes, w.files, w.ui, w.lock}; }
    Outcome repair() { return SpoolerRepair(world(), log).run(); }
    Outcome disable() { return SpoolerDisable(world(), log).run(); }
    fake::FakeServiceManager::Service& spooler(std::uint32_t state, std::uint32_t startType = 2) {
        auto& s = w.scm.add(L"Spooler", state);
        s.startType = startType;
        w.registry.setDword(spoolerKey, L"Start", startType);
        return s;
    }
    bool has(const Outcome& o, ProblemKind kind, std::uint32_t code = 0) const {
        return std::any_of(o.problems.begin(), o.problems.end(), [&](const Problem& p) {
            return p.kind == kind && (code == 0 || p.code == code);
        });
    }
};

TEST_F(SpoolerRepairTest, RunningDependentsStopFirstAndExactlyThoseStartAgain) {
    spooler(scm::kRunning);
    auto& fax = w.scm.add(L"Fax", scm::kRunning);
    fax.dependsOn = {L"Spooler"};
    auto& idle = w.scm.add(L"PrintNotify", scm::kStopped);
    idle.dependsOn = {L"Spooler"};
    std::uint32_t faxWhenSpoolerStopped = 0;
    w.files.addFile(spool, L"1.SPL");
    w.files.onDelete = [&](const std::wstring&) { faxWhenSpoolerStopped = fax.state; };
    const Outcome o = repair();
    EXPECT_TRUE(o.problems.empty());
    EXPECT_EQ(faxWhenSpoolerStopped, scm::kStopped);
    EXPECT_EQ(o.dependentsRestarted, std::vector<std::wstring>{L"Fax"});
    EXPECT_NE(fax.state, scm::kStopped);
    EXPECT_EQ(idle.state, scm::kStopped); // it was not running: it stays as it was
    EXPECT_LT(log.at(Step::StoppingDependents), log.at(Step::Stopping));
    EXPECT_LT(log.at(Step::WaitingForRun), log.at(Step::StartingDependents));
    EXPECT_TRUE(o.spoolerRunning);
}

TEST_F(SpoolerRepairTest, WhereDependentsCannotBeListedA1051IsReportedAndTheSpoolerStillStarts) {
    auto& s = spooler(scm::kRunning);
    s.refuseStop = err::kDependentServicesRunning;
    w.scm.dependentsUnsupported = true;
    w.files.addFile(spool, L"1.SPL");
    const Outcome o = repair();
    EXPECT_TRUE(has(o, ProblemKind::StopRefused, 1051));
    EXPECT_TRUE(w.files.deleted.empty());
    EXPECT_TRUE(o.spoolerRunning);
}

TEST_F(SpoolerRepairTest, OnlyAStoppedOrMissingSpoolerHasItsQueueCleared) {
    struct Case {
        std::uint32_t state;
        bool deletes;
    } cases[] = {{scm::kStopped, true},         {scm::kRunning, true},
                 {scm::kStartPending, true},    {scm::kPaused, true},
                 {scm::kContinuePending, true}, {scm::kStopPending, true},
                 {scm::kPausePending, true}};
    for (const Case& c : cases) {
        test::FakeWorld fresh;
        auto& s = fresh.scm.add(L"Spooler", c.state);
        s.startType = 2;
        if (c.state == scm::kStartPending || c.state == scm::kContinuePending) {
            s.settlesTo = scm::kRunning;
            s.settleAfter = 3;
        } else if (c.state == scm::kPausePending) {
            s.settlesTo = scm::kPaused;
            s.settleAfter = 3;
        } else if (c.state == scm::kStopPending) {
            s.settlesTo = scm::kStopped;
            s.settleAfter = 3;
        }
        std::uint32_t stateAtDelete = 0;
        fresh.files.addFile(spool, L"1.SPL");
        fresh.files.onDelete = [&](const std::wstring&) { stateAtDelete = s.state; };
        StepLog steps;
        const Outcome o = SpoolerRepair({fresh.scm, fresh.registry, fresh.processes,
                                         fresh.files, fresh.ui, fresh.lock},
                                        steps)
                              .run();
        EXPECT_EQ(fresh.files.deleted.size(), 1u) << c.state;
        EXPECT_EQ(stateAtDelete, scm::kStopped) << c.state;
        EXPECT_TRUE(o.spoolerRunning) << c.state;
    }
}

TEST_F(SpoolerRepairTest, AStateThatCannotBeReadDeletesNothingAndSaysWhy) {
    spooler(scm::kRunning).deniedAccess = scm::kQueryStatus;
    w.files.addFile(spool, L"1.SPL");
    const Outcome o = repair();
    EXPECT_TRUE(has(o, ProblemKind::StateUnreadable, err::kAccessDenied));
    EXPECT_TRUE(w.files.deleted.empty());
}

TEST_F(SpoolerRepairTest, NoSpoolerServiceAtAllStillHasItsQueueCleared) {
    w.files.addFile(spool, L"1.SPL");
    const Outcome o = repair();
    EXPECT_EQ(w.files.deleted.size(), 1u);
    EXPECT_TRUE(o.problems.empty());
    EXPECT_FALSE(o.spoolerRunning);
}

TEST_F(SpoolerRepairTest, ARefusedStartIsReportedWithItsCode) {
    auto& s = spooler(scm::kStopped, 2);
    s.refuseStart = 1058;
    const Outcome o = repair();
    EXPECT_TRUE(has(o, ProblemKind::StartRefused, 1058));
    EXPECT_FALSE(o.spoolerRunning);
}

TEST_F(SpoolerRepairTest, AStartThatNeverRunsIsReportedAfterItsBound) {
    auto& s = spooler(scm::kStopped, 2);
    s.pendingQueries = 1000000;
    const Outcome o = repair();
    EXPECT_TRUE(has(o, ProblemKind::StartTimedOut));
    EXPECT_GE(w.ui.sleptMs, Timing{}.runWait);
    EXPECT_LE(w.ui.sleptMs, Timing{}.runWait + 1000);
}

TEST_F(SpoolerRepairTest, AListingFailureAfterTheStopStillSetsTheStartTypeAndStarts) {
    auto& s = spooler(scm::kRunning, 3);
    w.files.addFile(spool, L"1.SPL");
    w.files.listFails[spool] = err::kAccessDenied;
    w.processes.onStart = [&](const auto&) { s.startType = 2; };
    const Outcome o = repair();
    EXPECT_TRUE(has(o, ProblemKind::QueueUnlisted, err::kAccessDenied));
    EXPECT_EQ(s.startType, 2u);
    EXPECT_TRUE(o.spoolerRunning);
}

TEST_F(SpoolerRepairTest, StartTypeIsReadBackAndSetThroughTheManagerWhenScChangedNothing) {
    // sc runs but changes nothing (as under Wine): the manager sets it.
    auto& s = spooler(scm::kStopped, 3);
    Outcome o = repair();
    EXPECT_EQ(s.startType, 2u);
    EXPECT_TRUE(o.startTypeChanged);
    EXPECT_EQ(std::count(w.scm.calls.begin(), w.scm.calls.end(), "change-start-type"), 1);
    // sc did it: the manager is not asked.
    w.scm.calls.clear();
    s.startType = 4;
    w.registry.setDword(spoolerKey, L"Start", 4);
    w.processes.onStart = [&](const auto&) { s.startType = 2; };
    s.state = scm::kStopped;
    o = repair();
    EXPECT_EQ(std::count(w.scm.calls.begin(), w.scm.calls.end(), "change-start-type"), 0);
    EXPECT_TRUE(o.startTypeChanged);
    // Neither: reported, and the start is still asked for.
    w.processes.onStart = nullptr;
    s.startType = 4;
    s.refuseStartTypeChange = err::kAccessDenied;
    s.state = scm::kStopped;
    o = repair();
    EXPECT_TRUE(has(o, ProblemKind::StartTypeNotSet, err::kAccessDenied));
    EXPECT_TRUE(has(o, ProblemKind::StartRefused, 1058));
}

TEST_F(SpoolerRepairTest, DisableEndsStoppedAndDisabledVerified) {
    auto& s = spooler(scm::kRunning, 2);
    const Outcome o = disable();
    EXPECT_TRUE(o.spoolerStopped);
    EXPECT_EQ(s.state, scm::kStopped);
    EXPECT_EQ(s.startType, 4u); // sc changed nothing here: the manager did
    EXPECT_TRUE(o.problems.empty());
}

TEST_F(SpoolerRepairTest, NamesAreDeletedExactlyAsListedAtAnyLength) {
    spooler(scm::kStopped);
    const std::wstring deep = spool + L"\\" + std::wstring(250, L'x');
    w.files.addFile(spool, L"trailing dot.");
    w.files.addFile(spool, L"trailing blank ");
    w.files.addFile(spool, L"gone.SPL");
    w.files.addFile(spool, std::wstring(240, L'y') + L".SPL");
    w.files.onDelete = [&](const std::wstring& path) {
        // Removed by someone else between the listing and its delete: as good as deleted.
        if (path.find(L"gone.SPL") != std::wstring::npos) {
            auto& list = w.files.entries[spool];
            list.erase(std::remove_if(list.begin(), list.end(),
                                      [](const FileEntry& e) { return e.name == L"gone.SPL"; }),
                       list.end());
        }
    };
    const Outcome o = repair();
    EXPECT_TRUE(o.problems.empty());
    EXPECT_EQ(o.filesDeleted, 3u);
    EXPECT_TRUE(w.files.entries[spool].empty());
    for (const std::wstring& path : w.files.deleted) {
        EXPECT_EQ(path.rfind(verbatim + L"\\", 0), 0u);
    }
}

TEST_F(SpoolerRepairTest, FilesThatStayAreCountedAndReported) {
    spooler(scm::kStopped);
    w.files.addFile(spool, L"a.SPL");
    // Something writes a new job as fast as the old ones go.
    w.files.onDelete = [&](const std::wstring&) {
        w.files.onDelete = nullptr;
        w.files.addFile(spool, L"new.SPL");
    };
    const Outcome o = repair();
    ASSERT_TRUE(has(o, ProblemKind::QueueNotEmpty));
    EXPECT_EQ(o.problems.back().count, 1u);
}

TEST_F(SpoolerRepairTest, ManyFilesKeepTheWindowAnswering) {
    spooler(scm::kStopped);
    constexpr int kFiles = 5000;
    auto& list = w.files.entries[spool];
    w.files.folders[spool] = fileattr::kDirectory;
    for (int i = 0; i < kFiles; ++i) {
        list.push_back({std::to_wstring(kFiles - 1 - i) + L".SPL", fileattr::kArchive});
    }
    const int before = w.ui.doEventsCalls;
    const Outcome o = repair();
    EXPECT_EQ(o.filesDeleted, static_cast<std::size_t>(kFiles));
    EXPECT_GE(w.ui.doEventsCalls - before, kFiles / 64);
    EXPECT_EQ(w.files.lists, 2); // once to delete, once to count what is left
}

TEST_F(SpoolerRepairTest, AConfiguredSpoolFolderIsUsedOnlyWhenOnlyAdministratorsCouldPutItThere) {
    auto choose = [&] { return chooseSpoolFolder(w.files, w.registry); };
    // Absent: the system's own, trusted as it is.
    SpoolFolderChoice c = choose();
    EXPECT_TRUE(c.usable);
    EXPECT_EQ(c.path, spool);
    const std::wstring moved = L"D:\\Spool";
    w.files.folders[moved] = fileattr::kDirectory;
    w.registry.setString(printersKey, L"DefaultSpoolDirectory", L"D:\\Spool\\");
    c = choose();
    EXPECT_TRUE(c.usable);
    EXPECT_EQ(c.path, moved);
    w.registry.setString(printersKey, L"DefaultSpoolDirectory", L"%SystemRoot%\\System32\\spool\\PRINTERS",
                         reg::kExpandSz);
    c = choose();
    EXPECT_TRUE(c.usable);
    EXPECT_EQ(c.path, spool);
    struct Refused {
        std::wstring value;
        ProblemKind why;
        std::function<void()> arrange;
    };
    const std::vector<Refused> refused{
        {L"\\\\server\\share", ProblemKind::SpoolFolderNotLocal, nullptr},
        {L"Spool", ProblemKind::SpoolFolderNotLocal, nullptr},
        {L"", ProblemKind::SpoolFolderNotLocal, nullptr},
        {L"D:\\Spool\\..\\Windows", ProblemKind::SpoolFolderNotLocal, nullptr},
        {L"D:\\Spool\\.", ProblemKind::SpoolFolderNotLocal, nullptr},
        {L"D:\\Spool:stream", ProblemKind::SpoolFolderNotLocal, nullptr},
        {L"C:\\", ProblemKind::SpoolFolderSystem, nullptr},
        {L"C:\\Windows", ProblemKind::SpoolFolderSystem, nullptr},
        {L"c:\\windows\\system32\\", ProblemKind::SpoolFolderSystem, nullptr},
        {L"C:\\Users", ProblemKind::SpoolFolderSystem, nullptr},
        {L"C:\\Program Files", ProblemKind::SpoolFolderSystem, nullptr},
        {L"C:\\ProgramData", ProblemKind::SpoolFolderSystem, nullptr},
        {L"E:\\Missing", ProblemKind::SpoolFolderMissing, nullptr},
        {L"D:\\Spool", ProblemKind::SpoolFolderLinked,
         [&] { w.files.folders[moved] = fileattr::kDirectory | fileattr::kReparsePoint; }},
        {L"D:\\Spool", ProblemKind::SpoolFolderLinked,
         [&] { w.files.standings[moved] = FolderStanding::Link; }}, // a link above it
        {L"D:\\Spool", ProblemKind::SpoolFolderForeignOwner,
         [&] { w.files.standings[moved] = FolderStanding::ForeignOwner; }},
        {L"D:\\Spool", ProblemKind::SpoolFolderNotLocal,
         [&] { w.files.standings[moved] = FolderStanding::NotLocal; }},
    };
    for (const Refused& r : refused) {
        w.files.folders[moved] = fileattr::kDirectory;
        w.files.standings.clear();
        if (r.arrange) {
            r.arrange();
        }
        w.registry.setString(printersKey, L"DefaultSpoolDirectory", r.value);
        c = choose();
        EXPECT_FALSE(c.usable) << r.value;
        EXPECT_EQ(c.refused, r.why) << r.value;
    }
    // Set, but not a path: refused with the code, never read as something else.
    w.registry.setRaw(printersKey, L"DefaultSpoolDirectory", reg::kSz, {'D', 0, ':'});
    c = choose();
    EXPECT_FALSE(c.usable);
    EXPECT_EQ(c.refused, ProblemKind::SpoolFolderUnreadable);
    EXPECT_EQ(c.code, err::kInvalidData);
}

TEST_F(SpoolerRepairTest, ARefusedSpoolFolderDeletesNothingAnywhereYetTheSpoolerStarts) {
    auto& s = spooler(scm::kRunning, 3);
    w.files.addFile(L"C:\\", L"pagefile.sys");
    w.files.addFile(L"C:\\Windows", L"win.ini");
    w.files.addFile(spool, L"1.SPL");
    for (const wchar_t* folder : {L"C:\\", L"C:\\Windows"}) {
        w.registry.setString(printersKey, L"DefaultSpoolDirectory", folder);
        s.state = scm::kRunning;
        s.startType = 3;
        const Outcome o = repair();
        EXPECT_EQ(w.files.deleteAttempts, 0) << folder;
        EXPECT_TRUE(has(o, ProblemKind::SpoolFolderSystem)) << folder;
        EXPECT_TRUE(o.spoolerRunning) << folder;
        EXPECT_EQ(s.startType, scm::kAutoStart) << folder;
        const std::wstring said = describeProblems(Operation::Repair, o.problems, w.strings,
                                                   [](std::uint32_t) { return L""; });
        EXPECT_NE(said.find(folder), std::wstring::npos) << folder;
    }
}

TEST_F(SpoolerRepairTest, AFolderSwappedForALinkMidRepairSendsNoDeleteOutsideIt) {
    const std::wstring moved = L"D:\\Spool";
    const std::wstring target = L"C:\\Users\\victim\\Documents";
    w.registry.setString(printersKey, L"DefaultSpoolDirectory", moved);
    spooler(scm::kStopped);
    for (const wchar_t* name : {L"1.SPL", L"1.SHD", L"2.SPL", L"2.SHD"}) {
        w.files.addFile(moved, name);
        w.files.addFile(target, name);
    }
    // After the first delete, the folder's name is made a junction to the victim's folder.
    w.files.onDelete = [&](const std::wstring&) { w.files.swappedFor[moved] = target; };
    const Outcome o = repair();
    EXPECT_EQ(o.filesDeleted, 4u);
    EXPECT_TRUE(w.files.entries[moved].empty());
    EXPECT_EQ(w.files.entries[target].size(), 4u);
    for (const std::wstring& d : w.files.deleted) {
        EXPECT_EQ(d.rfind(L"\\\\?\\" + moved + L"\\", 0), 0u) << d;
    }
}

TEST_F(SpoolerRepairTest, ProblemsReadAsOneMessage) {
    const std::vector<Problem> problems{
        {ProblemKind::StopRefused, 1051, {}},
        {ProblemKind::FileNotDeleted, 32, L"a.SPL"},
        {ProblemKind::FileNotDeleted, 5, L"b.SPL"},
        {ProblemKind::QueueNotEmpty, 0, spool, 7},
        {ProblemKind::DependentNotStarted, 1058, L"Fax"},
    };
    const auto message = [](std::uint32_t code) { return L"error " + std::to_wstring(code); };
    const std::wstring text = describeProblems(Operation::Repair, problems, w.strings, message);
    EXPECT_EQ(text, L"打印机后台服务无法停止，打印队列未清空：error 1051\n\n"
                    L"以下打印队列文件无法删除：\na.SPL：error 32\nb.SPL：error 5\n\n"
                    L"清空后打印队列中仍有 7 个文件。\n\n"
                    L"无法重新启动依赖打印机后台服务的服务 Fax：error 1058");
    EXPECT_TRUE(describeProblems(Operation::Disable, {}, w.strings, message).empty());
    EXPECT_EQ(describeProblems(Operation::Disable, {problems[0]}, w.strings, message),
              L"打印机后台服务无法停止，未禁用：error 1051");
}

} // namespace

namespace {

using S = Step;

TEST_F(SpoolerRepairTest, StepsOfAPlainRepairInOrder) {
    spooler(scm::kRunning, 3);
    w.files.addFile(spool, L"1.SPL");
    repair();
    EXPECT_EQ(log.steps, (std::vector<Step>{S::Stopping, S::WaitingForStop, S::ClearingQueue,
                                            S::SettingStartType, S::Starting, S::WaitingForRun}));
}

TEST_F(SpoolerRepairTest, StepsOfAHungSpoolerAndOfDependents) {
    auto& s = spooler(scm::kRunning, 2);
    s.stopNeverCompletes = true;
    w.files.addFile(spool, L"1.SPL");
    repair();
    EXPECT_EQ(log.steps, (std::vector<Step>{S::Stopping, S::WaitingForStop, S::EndingHungSpooler,
                                            S::ClearingQueue, S::Starting, S::WaitingForRun}));
    test::FakeWorld fresh;
    fresh.scm.add(L"Spooler", scm::kRunning).startType = 2;
    fresh.scm.add(L"Fax", scm::kRunning).dependsOn = {L"Spooler"};
    fresh.files.addFile(spool, L"1.SPL");
    StepLog steps;
    SpoolerRepair(
        {fresh.scm, fresh.registry, fresh.processes, fresh.files, fresh.ui, fresh.lock},
        steps)
        .run();
    EXPECT_EQ(steps.steps,
              (std::vector<Step>{S::StoppingDependents, S::Stopping, S::WaitingForStop, S::Stopping,
                                 S::WaitingForStop, S::ClearingQueue, S::Starting, S::WaitingForRun,
                                 S::StartingDependents}));
}

TEST_F(SpoolerRepairTest, AnotherKestraveIsWaitedForThenGivenUpOnWithoutTouchingAnything) {
    auto& s = spooler(scm::kRunning, 3);
    w.files.addFile(spool, L"1.SPL");
    w.lock.heldElsewhereForTries = -1;
    const Outcome o = repair();
    EXPECT_EQ(o.problems,
              (std::vector<Problem>{{ProblemKind::AnotherKestraveBusy, 0, {}, 60}}));
    EXPECT_GE(w.ui.sleptMs, Timing{}.lockWait);
    EXPECT_EQ(log.steps, std::vector<Step>{S::WaitingForOtherKestrave});
    EXPECT_EQ(s.state, scm::kRunning);
    EXPECT_EQ(s.startType, 3u);
    EXPECT_EQ(w.files.deleteAttempts, 0);
    EXPECT_TRUE(w.processes.started.empty());
    // Freed a little later: the operation goes ahead, and gives the lock back.
    w.lock.heldElsewhereForTries = 3;
    log.steps.clear();
    const Outcome later = disable();
    EXPECT_TRUE(later.problems.empty());
    EXPECT_EQ(log.steps.front(), S::WaitingForOtherKestrave);
    EXPECT_EQ(s.state, scm::kStopped);
    EXPECT_FALSE(w.lock.held);
}

TEST_F(SpoolerRepairTest, ALockThatCannotBeTriedIsNotWaitedForAndSaysWhy) {
    auto& s = spooler(scm::kRunning, 3);
    w.files.addFile(spool, L"1.SPL");
    w.lock.failsWith = err::kAccessDenied;
    for (const bool repairing : {true, false}) {
        const Outcome o = repairing ? repair() : disable();
        EXPECT_EQ(o.problems,
                  (std::vector<Problem>{{ProblemKind::LockUnavailable, err::kAccessDenied, {}}}));
    }
    EXPECT_EQ(w.lock.tries, 2);
    EXPECT_EQ(w.ui.sleptMs, 0);
    EXPECT_TRUE(log.steps.empty());
    EXPECT_EQ(s.state, scm::kRunning);
    EXPECT_EQ(w.files.deleteAttempts, 0);
    const std::wstring said = describeProblems(
        Operation::Repair, {{ProblemKind::LockUnavailable, 5, {}}}, w.strings,
        [](std::uint32_t code) { return L"<" + std::to_wstring(code) + L">"; });
    EXPECT_EQ(said, L"无法取得 Kestrave 的操作锁，本次未做任何更改：<5>");
}

TEST_F(SpoolerRepairTest, TheLockIsGivenBackOnEveryWayOutAnErrorIncluded) {
    spooler(scm::kStopped, 2);
    repair();
    EXPECT_FALSE(w.lock.held);
    EXPECT_EQ(w.lock.releases, 1);
    w.files.addFile(spool, L"1.SPL");
    w.files.onDelete = [](const std::wstring&) { throw std::runtime_error("disk gone"); };
    repair();
    EXPECT_FALSE(w.lock.held);
    EXPECT_EQ(w.lock.releases, 2);
}

// Whatever is thrown between the stop and the start, the start type and the start still
// happen, and then the error is told.
TEST_F(SpoolerRepairTest, AnyErrorWhileStoppingOrClearingStillEndsInTheStart) {
    const std::vector<std::function<void()>> throwers{
        [] { throw std::runtime_error("disk gone"); },
        [] { throw std::bad_alloc(); },
        [] { throw std::out_of_range("range"); },
        [] { throw SystemError(5, "denied"); },
        [] { throw 42; },
    };
    for (std::size_t i = 0; i < throwers.size(); ++i) {
        test::FakeWorld fresh;
        auto& s = fresh.scm.add(L"Spooler", scm::kRunning);
        s.startType = 4;
        fresh.registry.setDword(spoolerKey, L"Start", 4);
        fresh.files.addFile(spool, L"1.SPL");
        fresh.files.onDelete = [&](const std::wstring&) { throwers[i](); };
        const Outcome o =
            SpoolerRepair({fresh.scm, fresh.registry, fresh.processes, fresh.files, fresh.ui,
                           fresh.lock},
                          log)
                .run();
        EXPECT_EQ(s.state, scm::kRunning) << i;
        EXPECT_EQ(s.startType, scm::kAutoStart) << i;
        EXPECT_TRUE(o.spoolerRunning) << i;
        EXPECT_FALSE(succeeded(Operation::Repair, o)) << i;
        ASSERT_FALSE(o.problems.empty()) << i;
        EXPECT_EQ(o.problems.back().kind, ProblemKind::Unexpected) << i;
    }
}

TEST_F(SpoolerRepairTest, TheOutcomeInOneLine) {
    Outcome o;
    o.spoolerRunning = true;
    o.filesDeleted = 50000;
    o.startTypeChanged = true;
    EXPECT_EQ(
        outcomeLine(Operation::Repair, o, w.strings),
        L"修复完成：清空 50,000 个文件，设为自动启动，服务已运行。");
    fake::FakeStringTable en(fake::FakeStringTable::Language::English);
    o.hadToEndSpooler = true;
    o.startTypeChanged = false;
    o.filesDeleted = 3;
    o.dependentsRestarted = {L"Fax"};
    EXPECT_EQ(
        outcomeLine(Operation::Repair, o, en),
        L"Repaired: hung process ended, 3 files deleted, running, Fax restarted.");
    o.problems.push_back({ProblemKind::StartRefused, 1058, {}});
    EXPECT_EQ(outcomeLine(Operation::Repair, o, w.strings), L"修复未完成，详见提示。");
    for (const lang::Language& l : lang::all()) {
        EXPECT_EQ(groupedNumber(1234, l), L"1,234");
        EXPECT_EQ(groupedNumber(999, l), L"999");
        EXPECT_EQ(groupedNumber(1000000, l), L"1,000,000");
    }
    // The separator is the table's: a language that groups with dots gets dots.
    const lang::Language dotted{0x0407, {}, L'.'};
    EXPECT_EQ(groupedNumber(1234567, dotted), L"1.234.567");
}

} // namespace

namespace {

// A spooler that hangs stopping: only its own process, re-read after it is opened, is ended.
struct HungSpoolerTest : SpoolerRepairTest {
    fake::FakeServiceManager::Service& hung() {
        auto& s = spooler(scm::kRunning, 2);
        s.stopNeverCompletes = true;
        s.serviceType = 0x110; // own process, interactive: as the real spooler reads
        s.binaryPath = L"%SystemRoot%\\System32\\spoolsv.exe";
        w.files.addFile(spool, L"1.SPL");
        return s;
    }
};

TEST_F(HungSpoolerTest, TheSameProgramIsEndedWhateverTheCaseOrTheFormOfItsPath) {
    for (const wchar_t* image : {L"C:\\WINDOWS\\system32\\SPOOLSV.EXE",
                                 L"\\\\?\\C:\\Windows\\System32\\spoolsv.exe"}) {
        test::FakeWorld fresh;
        auto& s = fresh.scm.add(L"Spooler", scm::kRunning);
        s.stopNeverCompletes = true;
        s.serviceType = 0x110;
        s.binaryPath = L"\"%systemroot%\\System32\\spoolsv.exe\" -k print";
        fresh.processes.images[s.processId] = image;
        const Outcome o =
            SpoolerRepair({fresh.scm, fresh.registry, fresh.processes, fresh.files, fresh.ui,
                           fresh.lock},
                          log)
                .run();
        EXPECT_TRUE(o.hadToEndSpooler) << image;
        EXPECT_TRUE(o.spoolerRunning) << image;
        EXPECT_EQ(fresh.processes.terminated.size(), 1u) << image;
    }
}

TEST_F(HungSpoolerTest, AnythingElseBehindTheIdIsNeverEnded) {
    struct Case {
        const char* name;
        std::function<void(fake::FakeServiceManager::Service&)> change;
    };
    const std::vector<Case> cases{
        {"another program", [&](auto& s) { w.processes.images[s.processId] = L"C:\\x\\evil.exe"; }},
        {"a shared process", [&](auto& s) { s.serviceType = 0x20; }},
        {"a program named alike", [&](auto& s) {
             w.processes.images[s.processId] = L"C:\\Windows\\System32\\spoolsv.exe.bak";
         }},
        // The id passes to another process between the first reading and the open.
        {"the id reused", [&](auto& s) {
             w.processes.onOpen = [&s](std::uint32_t) { s.processId += 100; };
         }},
        {"no longer stopping", [&](auto& s) {
             w.processes.onOpen = [&s](std::uint32_t) { s.state = scm::kRunning; };
         }},
    };
    for (const Case& c : cases) {
        w.scm.services.clear();
        w.processes = fake::FakeProcesses{};
        w.processes.imageOf = [this](std::uint32_t id) {
            return w.files.expandPath(w.scm.imageOfProcess(id));
        };
        auto& s = hung();
        c.change(s);
        const Outcome o = repair();
        EXPECT_TRUE(w.processes.terminated.empty()) << c.name;
        EXPECT_FALSE(o.hadToEndSpooler) << c.name;
        EXPECT_TRUE(has(o, ProblemKind::StopTimedOut)) << c.name;
    }
}

TEST_F(HungSpoolerTest, AStopThatLandsAsItIsEndedIsAStopNotATimeout) {
    for (const bool beforeOpen : {true, false}) {
        w.scm.services.clear();
        auto& s = hung();
        // It stops by itself: as its process is first read (the id reads 0), or right after
        // the process is opened.
        auto stopNow = [&s] {
            s.stopNeverCompletes = false;
            s.state = scm::kStopped;
        };
        w.scm.onQueryProcess = beforeOpen ? std::function<void()>(stopNow) : nullptr;
        w.processes.onOpen = [&](std::uint32_t) { stopNow(); };
        const Outcome o = repair();
        EXPECT_FALSE(has(o, ProblemKind::StopTimedOut)) << beforeOpen;
        EXPECT_FALSE(o.hadToEndSpooler) << beforeOpen;
        EXPECT_TRUE(w.processes.terminated.empty()) << beforeOpen;
        EXPECT_EQ(o.filesDeleted, 1u) << beforeOpen;
        EXPECT_TRUE(o.spoolerRunning) << beforeOpen;
    }
}

} // namespace

namespace {

TEST_F(SpoolerRepairTest, DependentsStartAgainInReverseOfTheirStopAndOnlyWithARunningSpooler) {
    spooler(scm::kRunning);
    // The manager lists them in the order they must stop (here: by name).
    auto& alpha = w.scm.add(L"Alpha", scm::kRunning);
    auto& beta = w.scm.add(L"Beta", scm::kRunning);
    alpha.dependsOn = beta.dependsOn = {L"Spooler"};
    Outcome o = repair();
    EXPECT_EQ(o.dependentsRestarted, (std::vector<std::wstring>{L"Beta", L"Alpha"}));
    EXPECT_NE(alpha.state, scm::kStopped);
    // A spooler that does not run again takes none of them along.
    w.scm.services[L"Spooler"].refuseStart = 1058;
    o = repair();
    EXPECT_FALSE(o.spoolerRunning);
    EXPECT_TRUE(o.dependentsRestarted.empty());
    EXPECT_EQ(alpha.state, scm::kStopped);
    EXPECT_EQ(beta.state, scm::kStopped);
}

TEST_F(HungSpoolerTest, TheQueueIsClearedOnlyOnceTheEndedProcessIsGone) {
    hung();
    w.processes.terminatedEndsAfterWaits = 4;
    int waitsAtDelete = -1;
    w.files.onDelete = [&](const std::wstring&) {
        if (waitsAtDelete < 0) {
            waitsAtDelete = w.processes.waits;
        }
    };
    const Outcome o = repair();
    EXPECT_TRUE(o.hadToEndSpooler);
    EXPECT_GE(waitsAtDelete, 4);
    EXPECT_EQ(o.filesDeleted, 1u);
}

} // namespace

namespace {

// sc that never ends is ended after its bound; the manager sets the type, and the overrun is
// a note, not a failure, when the type ends right.
TEST_F(SpoolerRepairTest, AnScThatHangsIsEndedAndTheManagerSetsTheType) {
    auto& s = spooler(scm::kStopped, 3);
    w.processes.runsForWaits = 1000000;
    w.ui.msPerEvents = 1000;
    const Outcome o = repair();
    ASSERT_EQ(w.processes.started.size(), 1u);
    EXPECT_EQ(w.processes.endedStarted, std::vector<std::size_t>{1});
    EXPECT_EQ(s.startType, scm::kAutoStart);
    EXPECT_TRUE(o.problems.empty());
    EXPECT_TRUE(succeeded(Operation::Repair, o));
    // The bound is the timing's, said in seconds.
    const std::size_t bound = Timing::seconds(Timing{}.scWait);
    EXPECT_EQ(o.notes, (std::vector<Problem>{{ProblemKind::ScOverran, 0, {}, bound}}));
    EXPECT_EQ(describeProblems(Operation::Repair, o.notes, w.strings,
                               [](std::uint32_t) { return L""; }),
              L"sc 在 " + std::to_wstring(bound) + L" 秒内未结束，已结束它，并通过服务管理器设置了启动类型。");
    EXPECT_LE(w.ui.clockMs, static_cast<std::uint64_t>(Timing{}.scWait + 10000));
}

} // namespace

namespace {

TEST_F(SpoolerRepairTest, ShorterFormsOfTheOutcomeDropDetailNeverTheFacts) {
    Outcome o;
    o.spoolerRunning = true;
    o.hadToEndSpooler = o.startTypeChanged = true;
    o.filesDeleted = 12;
    o.dependentsRestarted = {L"Fax"};
    const std::vector<std::wstring> forms = outcomeLines(Operation::Repair, o, w.strings);
    ASSERT_EQ(forms.size(), 3u);
    EXPECT_EQ(forms[0], outcomeLine(Operation::Repair, o, w.strings));
    EXPECT_NE(forms[0].find(L"Fax"), std::wstring::npos);
    EXPECT_EQ(forms[1].find(L"Fax"), std::wstring::npos);
    EXPECT_EQ(forms[2], L"修复完成：清空 12 个文件，服务已运行。");
    for (std::size_t i = 1; i < forms.size(); ++i) {
        EXPECT_LT(forms[i].size(), forms[i - 1].size());
    }
    // A failure has one form: it never shortens into a success.
    o.problems.push_back({ProblemKind::StartRefused, 1058, {}});
    EXPECT_EQ(outcomeLines(Operation::Repair, o, w.strings),
              std::vector<std::wstring>{L"修复未完成，详见提示。"});
}

} // namespace
