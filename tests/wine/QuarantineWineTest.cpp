// A planted third-party print processor and port monitor taken out of the real registry
// layout with the spooler running after, and put back exactly; Windows' own refused.
#include <gtest/gtest.h>

#include <string>

#include "core/plugins/PlugInNames.h"
#include "core/plugins/PlugInQuarantine.h"
#include "core/spooler/OutcomeText.h"
#include "core/system/RegistryValue.h"
#include "tests/wine/KeepFiles.h"

using namespace kestrave;
using namespace kestrave::plugins;

namespace {

const std::wstring kProcessor =
    L"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\Print "
    L"Processors\\AcmeFastPrint";
const std::wstring kMonitor = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Acme Wine Port";
const std::wstring kPrinter = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\Acme Wine";

struct QuarantineWine : test::KeepFixture {
    QuarantineWine() { clear(); }
    ~QuarantineWine() override { clear(); }
    void clear() {
        for (const std::wstring& k : {kProcessor, kMonitor, kPrinter}) {
            ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, k.c_str());
        }
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kQuarantineKey);
    }
    void set(const std::wstring& key, const wchar_t* name, DWORD type, const void* data,
             DWORD size) {
        HKEY k = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0,
                                    KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &k, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegSetValueExW(k, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        ::RegCloseKey(k);
    }
    void text(const std::wstring& key, const wchar_t* name, const std::wstring& s) {
        set(key, name, REG_SZ, s.c_str(), static_cast<DWORD>((s.size() + 1) * 2));
    }
    std::wstring read(const std::wstring& key, const wchar_t* name) {
        RegistryText t;
        return readRegistryText(app.registry, key, name, t) == 0 ? t.text : L"(none)";
    }
    Outcome run(const std::wstring& name, bool back = false) {
        return PlugInQuarantine(world(), app.diagnosis, app.eventLog, steps, {name, back, false})
            .run();
    }
};

TEST_F(QuarantineWine, APlantedProcessorAndMonitorGoOutAndComeBackExactly) {
    text(kProcessor, L"Driver", L"acmefastpp.dll");
    set(kProcessor, L"Types", REG_MULTI_SZ, L"ACME\0RAW\0", 20);
    const BYTE blob[] = {0, 1, 0xFE};
    set(kProcessor, L"Blob", REG_BINARY, blob, 3);
    set(kProcessor, L"Empty", REG_BINARY, nullptr, 0);
    const DWORD three = 3;
    set(kProcessor + L"\\Options\\Deeper", L"Level", REG_DWORD, &three, 4);
    // Wine runs a monitor inside the calling process: this one names a DLL that is not there.
    text(kMonitor, L"Driver", L"acme-not-installed.dll");
    text(kMonitor + L"\\Ports\\ACMEWINE1:", L"Description", L"Acme");
    text(kPrinter, L"Print Processor", L"AcmeFastPrint");
    text(kPrinter, L"Datatype", L"ACME_EMF");
    text(kPrinter, L"Port", L"ACMEWINE1:");
    RegistryKeyCopy processor, monitor;
    ASSERT_EQ(app.registry.readMachineKey(kProcessor, processor), 0u);
    ASSERT_EQ(app.registry.readMachineKey(kMonitor, monitor), 0u);
    EXPECT_FALSE(processor.security.empty());

    const Outcome out = run(L"acmefastprint");
    EXPECT_TRUE(succeeded(Operation::Quarantine, out)) << describeProblems(
        Operation::Quarantine, out.problems, app.strings, [](std::uint32_t c) { return std::to_wstring(c); });
    RegistryKeyCopy gone;
    EXPECT_EQ(app.registry.readMachineKey(kProcessor, gone), 2u);
    EXPECT_EQ(read(kPrinter, L"Print Processor"), L"winprint");
    EXPECT_EQ(read(kPrinter, L"Datatype"), L"RAW");
    EXPECT_EQ(app.registry.secureMachineKey(kQuarantineKey), 0u) << "administrators' alone";
    const Outcome monitorOut = run(L"Acme Wine Port");
    EXPECT_TRUE(succeeded(Operation::Quarantine, monitorOut));
    EXPECT_EQ(app.registry.readMachineKey(kMonitor, gone), 2u);
    EXPECT_NE(std::find(monitorOut.notes.begin(), monitorOut.notes.end(),
                        Problem{ProblemKind::PrinterWaiting, 0, L"Acme Wine"}),
              monitorOut.notes.end());

    EXPECT_TRUE(succeeded(Operation::Unquarantine, run(L"ACMEFASTPRINT", true)));
    EXPECT_TRUE(succeeded(Operation::Unquarantine, run(L"acme wine port", true)));
    RegistryKeyCopy back, monitorBack;
    ASSERT_EQ(app.registry.readMachineKey(kProcessor, back), 0u);
    ASSERT_EQ(app.registry.readMachineKey(kMonitor, monitorBack), 0u);
    EXPECT_EQ(back, processor) << "values, subkeys and security descriptors as they were";
    EXPECT_EQ(monitorBack, monitor);
    EXPECT_EQ(read(kPrinter, L"Print Processor"), L"AcmeFastPrint");
    EXPECT_EQ(read(kPrinter, L"Datatype"), L"ACME_EMF");
    EXPECT_TRUE(readQuarantine(app.registry).empty());
}

TEST_F(QuarantineWine, WindowsOwnStayWhereTheyAre) {
    for (const wchar_t* own : {L"winprint", L"Local Port"}) {
        const Outcome o = run(own);
        ASSERT_EQ(o.problems.size(), 1u) << own;
        EXPECT_EQ(o.problems[0].kind, ProblemKind::PlugInWindowsOwn) << own;
    }
    RegistryKeyCopy winprint;
    EXPECT_EQ(app.registry.readMachineKey(L"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments"
                                          L"\\Windows x64\\Print Processors\\winprint",
                                          winprint),
              0u);
}

} // namespace
