#pragma once
#include "platform/Platform.h"
#include "platform/fake/FakeAnsiCodePage.h"
#include "platform/fake/FakeFileSystem.h"
#include "platform/fake/FakePrinters.h"
#include "platform/fake/FakeProcesses.h"
#include "platform/fake/FakeRegistry.h"
#include "platform/fake/FakeServiceManager.h"
#include "platform/fake/FakeShell.h"
#include "platform/fake/FakeWorkstation.h"
#include "platform/fake/HeadlessWindowSystem.h"

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
    fake::HeadlessWindowSystem ui;
    Platform platform{scm,   workstation, registry, ansi,    processes,
                      files, shell,       printers, network, ui};
};

} // namespace kestrave::test
