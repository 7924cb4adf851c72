#pragma once
#include <gtest/gtest.h>

#include "cli/CommandLineRun.h"
#include "core/keep/UtcTime.h"
#include "core/spooler/SpoolerRepair.h"
#include "core/spooler/SpoolerRestore.h"
#include "tests/fakes/FakeWorld.h"

namespace kestrave::test {

// Where the tests of keeping cleared jobs start: a spooler running on automatic start, its
// queue folder there and empty, and the clock at `now`.
inline void setUpKeepScene(FakeWorld& w, const UtcTime& now) {
    auto& s = w.scm.add(L"Spooler", scm::kRunning);
    s.startType = scm::kAutoStart;
    w.registry.setDword(L"SYSTEM\\CurrentControlSet\\Services\\Spooler", L"Start", 2);
    w.files.folders[L"C:\\Windows\\System32\\spool\\PRINTERS"] = fileattr::kDirectory;
    w.files.clock = *fileTimeOf(now);
}

struct QuietSteps : IOperationObserver {
    void step(Step, std::size_t, std::size_t) override {}
};

// The stage the tests of keeping play on: that scene at 2026-12-08 04:30:00 UTC, and the
// repair and the restore run on it.
struct KeepStage : ::testing::Test {
    FakeWorld w;
    QuietSteps steps;
    const std::wstring spool = L"C:\\Windows\\System32\\spool\\PRINTERS";
    const std::wstring kept = L"C:\\ProgramData\\Kestrave\\Cleared";

    KeepStage() { setUpKeepScene(w, {2026, 12, 8, 4, 30, 0}); }
    SpoolerWorld world() { return {w.scm, w.registry, w.processes, w.files, w.ui, w.lock}; }
    Outcome repair(KeepRequest request = KeepRequest::AsSet) {
        return SpoolerRepair(world(), steps, {}, request).run();
    }
    // The command line on this stage, its lines going to `console` and `log`.
    cli::CliWorld commandLine(IConsole& console, ILogFile& log) {
        return {world(),
                w.strings,
                console,
                log,
                [](std::uint32_t c) { return L"error " + std::to_wstring(c); },
                w.diagnosis,
                w.session,
                w.eventLog};
    }
    Outcome restore(const std::wstring& name = {}) {
        return SpoolerRestore(world(), steps, {}, name).run();
    }
};

} // namespace kestrave::test
