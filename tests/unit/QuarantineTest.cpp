// Third-party print processors and port monitors taken out of the spooler and put back:
// whole keys (every value type, nested subkeys, security descriptors) compared exactly, the
// printers that use them, Windows' own refused, a failure at any step undone, and a journal
// that the next run settles.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/diagnosis/Diagnosis.h"
#include "core/plugins/PlugInNames.h"
#include "core/plugins/PlugInQuarantine.h"
#include "core/spooler/OutcomeText.h"
#include "resources/StringIds.h"
#include "tests/unit/QuarantineStage.h"

using namespace kestrave;
using namespace kestrave::plugins;
using namespace kestrave::test;

namespace {

using Quarantine = test::QuarantineStage;

TEST_F(Quarantine, AProcessorUsedByTwoPrintersGoesOutAndComesBackExactly) {
    RegistryKeyCopy before;
    ASSERT_EQ(w.registry.readMachineKey(kAcme, before), 0u);
    const auto printersBefore = live();

    const Outcome out = run(L"ACMEFASTPRINT");
    EXPECT_TRUE(succeeded(Operation::Quarantine, out));
    EXPECT_EQ(out.plugIn, L"AcmeFastPrint") << "named as the registry spells it";
    EXPECT_EQ(w.registry.keys.count(kAcme), 0u);
    EXPECT_EQ(w.registry.keys.count(kAcme + L"\\Options\\Deeper"), 0u);
    for (const wchar_t* p : {L"Office", L"Lobby"}) {
        EXPECT_EQ(text(kPrinters + L"\\" + p, L"Print Processor"), L"winprint") << p;
        EXPECT_EQ(text(kPrinters + L"\\" + p, L"Datatype"), L"RAW") << p;
        EXPECT_TRUE(has(out.notes, ProblemKind::PrinterRepointed, p)) << p;
    }
    EXPECT_FALSE(has(out.notes, ProblemKind::PrinterRepointed, L"Plain"));
    EXPECT_EQ(w.scm.services[L"Spooler"].state, scm::kRunning);

    const Outcome back = run(L"acmefastprint", true);
    EXPECT_TRUE(succeeded(Operation::Unquarantine, back));
    RegistryKeyCopy after;
    ASSERT_EQ(w.registry.readMachineKey(kAcme, after), 0u);
    EXPECT_EQ(after, before) << "values with types and bytes, subkeys, security descriptors";
    EXPECT_EQ(live(), printersBefore) << "each printer's processor and datatype as they were";
    EXPECT_TRUE(readQuarantine(w.registry).empty());
    EXPECT_EQ(w.scm.services[L"Spooler"].state, scm::kRunning);
}

TEST_F(Quarantine, AMonitorNamesThePrintersOnItsPortsAndThoseWhoseDriverNamesIt) {
    monitor();
    const auto before = live();
    const Outcome out = run(L"acme port");
    EXPECT_TRUE(succeeded(Operation::Quarantine, out));
    EXPECT_EQ(w.registry.keys.count(kMonitor), 0u);
    for (const wchar_t* p : {L"Desk", L"Hall", L"Office", L"Lobby"}) {
        EXPECT_TRUE(has(out.notes, ProblemKind::PrinterWaiting, p)) << p;
    }
    EXPECT_FALSE(has(out.notes, ProblemKind::PrinterWaiting, L"Plain"));
    EXPECT_EQ(text(kPrinters + L"\\Office", L"Print Processor"), L"AcmeFastPrint")
        << "a monitor's printers keep their processor";
    EXPECT_TRUE(succeeded(Operation::Unquarantine, run(L"Acme Port", true)));
    EXPECT_EQ(live(), before);
}

TEST_F(Quarantine, WindowsOwnAndUnknownNamesChangeNothingAndSayWhy) {
    w.registry.setString(L"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Local Port",
                         L"Driver", L"localspl.dll");
    const auto liveBefore = live();
    fake::FakeConsole c1, c2, c3, c4;
    EXPECT_EQ(cli({L"/quarantine:winprint"}, c1), 1);
    EXPECT_EQ(cli({L"/quarantine:LOCAL PORT"}, c2), 1);
    EXPECT_EQ(cli({L"/quarantine:NoSuchThing"}, c3), 2);
    EXPECT_EQ(cli({L"/unquarantine:AcmeFastPrint"}, c4), 2) << "nothing of that name is out";
    EXPECT_EQ(live(), liveBefore);
    EXPECT_EQ(std::count(w.scm.calls.begin(), w.scm.calls.end(), "control"), 0)
        << "refused before anything is stopped";
}

TEST_F(Quarantine, AFileClaimingMicrosoftNeedsForce) {
    w.diagnosis.files[L"C:\\pp\\acmepp.dll"] = {true, L"Microsoft Corporation"};
    const Outcome refused = run(L"AcmeFastPrint");
    EXPECT_TRUE(has(refused.problems, ProblemKind::PlugInClaimsMicrosoft, L"AcmeFastPrint"));
    EXPECT_EQ(w.registry.keys.count(kAcme), 1u);
    fake::FakeConsole console;
    EXPECT_EQ(cli({L"/quarantine:AcmeFastPrint", L"/force"}, console), 0);
    EXPECT_EQ(w.registry.keys.count(kAcme), 0u);
    fake::FakeConsole misplaced;
    EXPECT_EQ(cli({L"/repair", L"/force"}, misplaced), 2);
}

TEST_F(Quarantine, APlugInInstalledAgainIsNotWrittenOver) {
    ASSERT_TRUE(succeeded(Operation::Quarantine, run(L"AcmeFastPrint")));
    w.registry.setString(kAcme, L"Driver", L"acmepp2.dll"); // the vendor's new version
    fake::FakeConsole console;
    EXPECT_EQ(cli({L"/unquarantine:AcmeFastPrint"}, console), 1);
    EXPECT_EQ(text(kAcme, L"Driver"), L"acmepp2.dll");
    EXPECT_EQ(w.registry.keys.count(kAcme + L"\\Options"), 0u);
    ASSERT_EQ(readQuarantine(w.registry).size(), 1u) << "the copy is kept";
    fake::FakeConsole list;
    EXPECT_EQ(cli({L"/quarantine"}, list), 0);
    ASSERT_GE(list.out.size(), 3u);
    EXPECT_NE(list.out[1].find(L"2026-12-08 04:30:00"), std::wstring::npos) << list.out[1];
    EXPECT_NE(list.out[1].find(L"KESTRAVE-PC\\admin"), std::wstring::npos) << list.out[1];
    EXPECT_NE(list.out[2].find(L"AcmeFastPrint"), std::wstring::npos) << "installed again";
}

TEST_F(Quarantine, AFailureAtAnyStepOfTakingOutIsUndone) {
    const auto before = live();
    const auto security = w.registry.security;
    int failing = 0;
    for (;; ++failing) {
        w.registry.changesMade = 0;
        w.registry.failChange = failing;
        const Outcome o = run(L"AcmeFastPrint");
        if (o.problems.empty()) {
            break;
        }
        EXPECT_TRUE(has(o.problems, ProblemKind::PlugInNotMoved, L"AcmeFastPrint") ||
                    has(o.problems, ProblemKind::QuarantineUnsafe, L"AcmeFastPrint"))
            << failing;
        EXPECT_EQ(live(), before) << "change " << failing << " failed";
        EXPECT_TRUE(readQuarantine(w.registry).empty()) << failing;
        EXPECT_EQ(w.registry.security, security) << failing;
        EXPECT_EQ(w.scm.services[L"Spooler"].state, scm::kRunning) << failing;
    }
    EXPECT_GE(failing, 5) << "the copy, its mark, two printers' two values, the deletion";
}

TEST_F(Quarantine, AFailureAtAnyStepOfPuttingBackIsUndone) {
    ASSERT_TRUE(succeeded(Operation::Quarantine, run(L"AcmeFastPrint")));
    const auto before = w.registry.keys;
    int failing = 0;
    for (;; ++failing) {
        w.registry.changesMade = 0;
        w.registry.failChange = failing;
        const Outcome o = run(L"AcmeFastPrint", true);
        if (o.problems.empty()) {
            break;
        }
        EXPECT_TRUE(has(o.problems, ProblemKind::PlugInNotPutBack, L"AcmeFastPrint")) << failing;
        EXPECT_EQ(w.registry.keys, before) << "change " << failing << " failed";
        EXPECT_EQ(w.registry.keys.count(kAcme), 0u) << failing;
    }
    EXPECT_GE(failing, 5);
    EXPECT_EQ(w.registry.keys.count(kAcme + L"\\Options\\Deeper"), 1u);
}

TEST_F(Quarantine, TheNextRunFinishesACompleteCopyAndDropsAnIncompleteOne) {
    monitor();
    // As a quarantine cut off after its copy was marked complete: the live key still there.
    RegistryKeyCopy copy;
    ASSERT_EQ(w.registry.readMachineKey(kAcme, copy), 0u);
    QuarantineEntry e{PlugInKind::Processor, L"AcmeFastPrint", entryKey(PlugInKind::Processor, L"AcmeFastPrint"),
                      kAcme, 1, L"X\\y", false, false, false, false, true,
                      printersUsing(w.registry, L"AcmeFastPrint")};
    ASSERT_EQ(w.registry.createMachineKey(e.entry, entryCopy(e, copy), false), 0u);
    ASSERT_EQ(markEntry(w.registry, e, kComplete), 0u);
    // And one cut off before that: its copy never finished.
    RegistryKeyCopy monitorCopy;
    ASSERT_EQ(w.registry.readMachineKey(kMonitor, monitorCopy), 0u);
    QuarantineEntry m{PlugInKind::Monitor, L"Acme Port", entryKey(PlugInKind::Monitor, L"Acme Port"),
                      kMonitor, 1, L"X\\y", false, false, false, false, true, {}};
    ASSERT_EQ(w.registry.createMachineKey(m.entry, entryCopy(m, monitorCopy), false), 0u);

    const Outcome o = repair();
    EXPECT_TRUE(has(o.notes, ProblemKind::QuarantineFinished, L"AcmeFastPrint"));
    EXPECT_TRUE(has(o.notes, ProblemKind::QuarantineDropped, L"Acme Port"));
    EXPECT_EQ(w.registry.keys.count(kAcme), 0u);
    EXPECT_EQ(text(kPrinters + L"\\Office", L"Print Processor"), L"winprint");
    EXPECT_EQ(w.registry.keys.count(kMonitor), 1u) << "never touched";
    ASSERT_EQ(readQuarantine(w.registry).size(), 1u);
    EXPECT_TRUE(readQuarantine(w.registry)[0].moved);
    // And it comes back whole from there.
    EXPECT_TRUE(succeeded(Operation::Unquarantine, run(L"AcmeFastPrint", true)));
    RegistryKeyCopy after;
    ASSERT_EQ(w.registry.readMachineKey(kAcme, after), 0u);
    copy.name = after.name;
    EXPECT_EQ(after, copy);
    EXPECT_EQ(text(kPrinters + L"\\Office", L"Datatype"), L"ACME_EMF");
}

TEST_F(Quarantine, AnUnsafeQuarantineKeyRefusesBeforeAnythingChanges) {
    w.registry.unsafeKeys[kQuarantineKey] = 5;
    const Outcome o = run(L"AcmeFastPrint");
    EXPECT_TRUE(has(o.problems, ProblemKind::QuarantineUnsafe, L"AcmeFastPrint"));
    EXPECT_EQ(w.registry.keys.count(kAcme), 1u);
}

} // namespace

namespace {

TEST_F(Quarantine, TheDiagnosisNamesWhatIsOutAndARestoreCutShort) {
    ASSERT_TRUE(succeeded(Operation::Quarantine, run(L"AcmeFastPrint")));
    DiagnosisWorld world{w.scm, w.files, w.registry, w.diagnosis, w.session,
                         [](std::uint32_t c) { return std::to_wstring(c); }};
    Report r = diagnose(world, w.strings);
    const auto quarantined = [](const Report& report) -> const ReportSection& {
        return *std::find_if(report.sections.begin(), report.sections.end(),
                             [](const ReportSection& s) { return s.title == IDS_DX_QUARANTINE; });
    };
    const ReportSection& held = quarantined(r);
    ASSERT_EQ(held.findings.size(), 1u);
    EXPECT_NE(held.findings[0].text.find(L"AcmeFastPrint"), std::wstring::npos);
    EXPECT_EQ(held.findings[0].kind, Finding::Kind::Info);
    const std::size_t problemsBefore = r.problems();
    // A restore cut off after its mark: a problem, and the run that follows leaves it be.
    ASSERT_EQ(markEntry(w.registry, readQuarantine(w.registry)[0], kRestoring), 0u);
    repair();
    r = diagnose(world, w.strings);
    EXPECT_EQ(r.problems(), problemsBefore + 1);
    EXPECT_EQ(quarantined(r).findings.back().kind, Finding::Kind::Problem);
    // Putting it back again finishes what was cut short.
    EXPECT_TRUE(succeeded(Operation::Unquarantine, run(L"AcmeFastPrint", true)));
    EXPECT_EQ(w.registry.keys.count(kAcme + L"\\Options\\Deeper"), 1u);
}

} // namespace
