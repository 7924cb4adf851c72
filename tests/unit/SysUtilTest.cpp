#include <gtest/gtest.h>

#include "tests/fakes/FakeWorld.h"
#include "core/system/RegistryValue.h"
#include "core/system/CommandRunner.h"

using namespace kestrave;

namespace {

const std::string kKey = "SOFTWARE\\Test";

struct RegTest : ::testing::Test {
    fake::FakeRegistry reg;
    fake::FakeAnsiCodePage ansi;
    RegistryReader mod{reg, ansi};
    RegVariant get(const char* name) {
        return mod.readRegistryValue(kHkeyLocalMachine, L"SOFTWARE\\Test",
                                     std::wstring(name, name + std::strlen(name)));
    }
};

TEST_F(RegTest, ReadsDwordAndStringValues) {
    reg.setDword(kKey, "Four", 4);
    reg.setDword(kKey, "All", 0xFFFFFFFF);
    reg.setString(kKey, "Text", "打印");
    EXPECT_EQ(get("Four"), RegVariant(std::int32_t{4}));
    EXPECT_EQ(get("All"), RegVariant(std::int32_t{-1}));
    EXPECT_EQ(get("Text"), RegVariant(std::wstring(L"打印")));
}

TEST_F(RegTest, EverythingElseIsEmptyAndTheKeyIsClosedOnce) {
    reg.setString(kKey, "Expand", "%x%", reg::kExpandSz);
    reg.setRaw(kKey, "Multi", reg::kMultiSz, {'a', 0, 0});
    reg.setRaw(kKey, "Bin", reg::kBinary, {1, 2});
    reg.setRaw(kKey, "Wide", reg::kDword, {1, 0, 0, 0, 0, 0, 0, 0});
    for (const char* name : {"Expand", "Multi", "Bin", "Wide", "Missing"}) {
        reg.closed.clear();
        EXPECT_TRUE(std::holds_alternative<std::monostate>(get(name))) << name;
        EXPECT_EQ(reg.closed.size(), 1u);
    }
    reg.closed.clear();
    EXPECT_TRUE(std::holds_alternative<std::monostate>(
        mod.readRegistryValue(kHkeyLocalMachine, L"SOFTWARE\\Missing", L"x")));
    EXPECT_EQ(reg.closed, std::vector<RegKey>{0}); // closed even though the open failed
    reg.readOnlyKeys.insert(kKey);
    reg.setDword(kKey, "Four", 4);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(get("Four"))); // 0x3F asks for write
}

TEST_F(RegTest, QueryStatusAndUntouchedOutput) {
    reg.setRaw(kKey, "Bin", reg::kBinary, {1});
    RegKey k = 0;
    ASSERT_EQ(reg.RegOpenKeyExA(kHkeyLocalMachine, kKey.c_str(), 0, 0x3F, &k), 0);
    RegVariant out = std::int32_t{7};
    EXPECT_EQ(mod.queryRegistryValue(k, L"Bin", out), -1);
    EXPECT_EQ(mod.queryRegistryValue(0, L"Bin", out), -1);
    EXPECT_EQ(out, RegVariant(std::int32_t{7}));
}

TEST(TextNumber, LeadingNumberLikeTheStartTypeNeedsIt) {
    EXPECT_EQ(leadingNumber(L""), 0);
    EXPECT_EQ(leadingNumber(L"3"), 3);
    EXPECT_EQ(leadingNumber(L"  4 apples"), 4);
    EXPECT_EQ(leadingNumber(L"-1"), -1);
    EXPECT_EQ(leadingNumber(L"2.5"), 2.5);
    EXPECT_EQ(leadingNumber(L"x3"), 0);
    EXPECT_EQ(leadingNumber(variantText(RegVariant{})), 0);
    EXPECT_EQ(variantText(RegVariant(std::int32_t{-7})), L"-7");
}

TEST(SystemProgram, BareNamesComeFromTheSystemDirectoryOnly) {
    const std::wstring sys = L"D:\\WINNT\\system32";
    EXPECT_EQ(systemProgramPath(L"sc config spooler start= AUTO", sys), sys + L"\\sc.exe");
    EXPECT_EQ(systemProgramPath(L"cmd.exe /c services.msc", sys), sys + L"\\cmd.exe");
    EXPECT_EQ(systemProgramPath(L"\"C:\\x y\\t.exe\" --exit 3", sys), L"C:\\x y\\t.exe");
    EXPECT_EQ(systemProgramPath(L"..\\sc config", sys), L"..\\sc");
}

TEST(runAndWait, WaitsUntilTheEndAndHandlesEventsOnEveryPass) {
    test::FakeWorld w;
    w.processes.runsForWaits = 4;
    CommandRunner(w.processes, w.files, w.ui).runAndWait(L"sc config spooler start= AUTO", 0);
    EXPECT_EQ(w.processes.waits, 4);
    EXPECT_EQ(w.ui.doEventsCalls, 4);
    EXPECT_EQ(w.processes.running, 0); // handle closed
    ASSERT_EQ(w.processes.started.size(), 1u);
    EXPECT_EQ(w.processes.started[0].commandLine, L"sc config spooler start= AUTO");
    w.processes.existingPrograms = {L"nothing"};
    EXPECT_THROW(CommandRunner(w.processes, w.files, w.ui).runAndWait(L"sc x", 0), SystemError);
    EXPECT_EQ(w.processes.started.size(), 1u);
}

} // namespace
