#pragma once
#include "core/keep/UtcTime.h"
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

} // namespace kestrave::test
