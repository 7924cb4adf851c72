#pragma once
#include "core/diagnosis/BoundedSources.h"
#include "windows/Platform.h"
#include "tests/fakes/FakeAnsiCodePage.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakePrinters.h"
#include "tests/fakes/FakeProcesses.h"
#include "tests/fakes/FakeRegistry.h"
#include "tests/fakes/FakeServiceManager.h"
#include "tests/fakes/FakeShell.h"
#include "tests/fakes/FakeDiagnosisSources.h"
#include "tests/fakes/FakeEventLog.h"
#include "tests/fakes/FakeOperationLock.h"
#include "tests/fakes/FakeStringTable.h"
#include "tests/fakes/FakeUserSession.h"
#include "tests/fakes/FakeWorkstation.h"
#include "tests/fakes/HeadlessWindowSystem.h"

namespace kestrave::test {

// The whole platform in memory, for one test.
struct FakeWorld {
    fake::FakeServiceManager scm;
    fake::FakeWorkstation workstation;
    fake::FakeRegistry registry;
    fake::FakeAnsiCodePage ansi;
    fake::FakeProcesses processes;
    fake::FakeFileSystem files;
    fake::FakeShell shell;
    fake::FakePrinters printers;
    fake::FakeNetworkFactory network{printers};
    fake::FakeUserSession session;
    fake::FakeOperationLock lock;
    fake::FakeDiagnosisSources diagnosis;
    fake::FakeThreads threads;
    // As the program reads them: printers and logs bounded (generously, for valgrind).
    BoundedSources bounded{diagnosis, threads, {5000, 5000}};
    fake::FakeStringTable strings;
    fake::HeadlessWindowSystem ui;
    fake::FakeEventLog eventLog;
    // An ended service process lets its service start again, as the real manager does.
    FakeWorld() {
        processes.onTerminate = [this](std::uint32_t id) { scm.processEnded(id); };
        // A service's process runs its configured program, as the system names it.
        processes.imageOf = [this](std::uint32_t id) {
            return files.expandPath(scm.imageOfProcess(id));
        };
    }
    // Whatever a test left hanging is let go, so the threads can be joined.
    ~FakeWorld() { diagnosis.letGo.raise(); }
    FakeWorld(const FakeWorld&) = delete;
    FakeWorld& operator=(const FakeWorld&) = delete;

    Platform platform{scm,      workstation, registry, ansi, processes, files, shell,
                      printers, network, session, lock, bounded,   threads,     strings, ui, eventLog};
};

} // namespace kestrave::test
