#include <gtest/gtest.h>

#include "tests/fakes/FakeWorld.h"
#include "core/system/RegistryValue.h"
#include "core/system/CommandRunner.h"
#include "core/text/PathText.h"
#include "core/text/TextFormat.h"

using namespace kestrave;

namespace {

const std::wstring kKey = L"SOFTWARE\\Test";

struct RegTest : ::testing::Test {
    fake::FakeRegistry reg;
    std::uint32_t text(const wchar_t* name, RegistryText& out) {
        return readRegistryText(reg, kKey, name, out);
    }
    std::uint32_t dword(const wchar_t* name, std::uint32_t& out) {
        return readRegistryDword(reg, kKey, name, out);
    }
};

TEST_F(RegTest, TextsAreReadWideWhateverTheCodePage) {
    // Characters no ANSI code page holds all of: a fullwidth letter, Thai, Chinese.
    reg.setString(kKey, L"Path", L"C:\\\xFF53pool\\\x0E07\x0E32\x0E19\\打印");
    reg.setString(kKey, L"Expand", L"%SystemRoot%\\spool", reg::kExpandSz);
    reg.setString(kKey, L"Empty", L"");
    RegistryText out;
    ASSERT_EQ(text(L"Path", out), 0u);
    EXPECT_EQ(out.text, L"C:\\\xFF53pool\\\x0E07\x0E32\x0E19\\打印");
    EXPECT_FALSE(out.expandable);
    ASSERT_EQ(text(L"Expand", out), 0u);
    EXPECT_EQ(out.text, L"%SystemRoot%\\spool");
    EXPECT_TRUE(out.expandable);
    ASSERT_EQ(text(L"Empty", out), 0u);
    EXPECT_EQ(out.text, L"");
    // The stored terminator ends the text; what follows it is not part of it.
    reg.setRaw(kKey, L"TwoStrings", reg::kSz, {'a', 0, 0, 0, 'b', 0, 0, 0});
    ASSERT_EQ(text(L"TwoStrings", out), 0u);
    EXPECT_EQ(out.text, L"a");
}

TEST_F(RegTest, MalformedOrMistypedValuesAreErrorsAndLeaveTheOutputAlone) {
    reg.setRaw(kKey, L"Odd", reg::kSz, {'C', 0, ':', 0, 0});
    reg.setRaw(kKey, L"Unterminated", reg::kSz, {'C', 0, ':', 0});
    reg.setRaw(kKey, L"NoBytes", reg::kSz, {});
    reg.setRaw(kKey, L"Multi", reg::kMultiSz, {'a', 0, 0, 0, 0, 0});
    reg.setRaw(kKey, L"Bin", reg::kBinary, {1, 2});
    reg.setDword(kKey, L"Four", 4);
    reg.setString(kKey, L"Three", L"3");
    reg.setRaw(kKey, L"LongDword", reg::kDword, {1, 0, 0, 0, 0, 0, 0, 0});
    reg.setRaw(kKey, L"ShortDword", reg::kDword, {1, 0});
    reg.setRaw(kKey, L"Qword", reg::kQword, {2, 0, 0, 0, 0, 0, 0, 0});
    struct Case {
        const wchar_t* name;
        bool asText;
        std::uint32_t code;
    };
    for (const Case& c : {Case{L"Odd", true, err::kInvalidData},
                          Case{L"Unterminated", true, err::kInvalidData},
                          Case{L"NoBytes", true, err::kInvalidData},
                          Case{L"Multi", true, err::kDatatypeMismatch},
                          Case{L"Bin", true, err::kDatatypeMismatch},
                          Case{L"Four", true, err::kDatatypeMismatch},
                          Case{L"Missing", true, err::kFileNotFound},
                          Case{L"Three", false, err::kDatatypeMismatch},
                          Case{L"LongDword", false, err::kInvalidData},
                          Case{L"ShortDword", false, err::kInvalidData},
                          Case{L"Qword", false, err::kDatatypeMismatch},
                          Case{L"Missing", false, err::kFileNotFound}}) {
        RegistryText t{L"untouched", true};
        std::uint32_t d = 7;
        EXPECT_EQ(c.asText ? text(c.name, t) : dword(c.name, d), c.code) << c.name;
        EXPECT_EQ(t.text, L"untouched") << c.name;
        EXPECT_EQ(d, 7u) << c.name;
    }
    reg.refusedKeys[kKey] = err::kAccessDenied;
    std::uint32_t d = 0;
    EXPECT_EQ(dword(L"Four", d), err::kAccessDenied);
}

TEST_F(RegTest, DwordsAreUnsignedLittleEndian) {
    reg.setRaw(kKey, L"Mixed", reg::kDword, {0x04, 0x03, 0x02, 0x81});
    std::uint32_t out = 0;
    ASSERT_EQ(dword(L"Mixed", out), 0u);
    EXPECT_EQ(out, 0x81020304u);
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

// The program's only number formatting: the log's time stamps, the kept folders' names and
// the version record's sub-block all depend on its padding and its hexadecimal.
TEST(NumberText, PadsWithZerosToTheWidthAndNeverCutsAWiderNumber) {
    EXPECT_EQ(decimal(7, 2), L"07");
    EXPECT_EQ(decimal(2026, 4), L"2026");
    EXPECT_EQ(decimal(123456, 4), L"123456");
    EXPECT_EQ(decimal(0), L"0");
    EXPECT_EQ(decimal(-42), L"-42");
    EXPECT_EQ(decimal(18446744073709551615ULL), L"18446744073709551615");
    EXPECT_EQ(decimal(static_cast<long long>(-9223372036854775807LL - 1)),
              L"-9223372036854775808");
    EXPECT_EQ(hexadecimal(0x804u, 4), L"0804");
    EXPECT_EQ(hexadecimal(0x04B0u, 4), L"04B0");
    EXPECT_EQ(hexadecimal(0xDEADBEEFu, 8), L"DEADBEEF");
    EXPECT_EQ(hexadecimal(0x5u, 8), L"00000005");
}

// Paths compared as the file system compares them, and a service's program out of its command
// line: what decides whether a process is ended and whether a folder is the one checked.
TEST(PathText, PathsCompareWithoutCaseTheLongFormOrTrailingBackslashes) {
    EXPECT_EQ(pathKey(L"\\\\?\\c:\\Windows\\System32\\spoolsv.exe"),
              pathKey(L"C:\\WINDOWS\\system32\\SPOOLSV.EXE"));
    EXPECT_EQ(plainPath(L"\\\\?\\D:\\Kept\\\\"), L"D:\\Kept");
    EXPECT_EQ(plainPath(L"C:\\"), L"C:\\") << "a root keeps its backslash";
    EXPECT_EQ(plainPath(L"\\\\?\\C:\\"), L"C:\\");
    EXPECT_NE(pathKey(L"C:\\Windows\\System32\\spoolsv.exe"),
              pathKey(L"C:\\Windows\\System32\\spoolsv.exe.bak"));
    EXPECT_NE(pathKey(L"C:\\A"), pathKey(L"D:\\A"));
}

TEST(PathText, AServicesProgramIsTheQuotedPartOrUpToItsExe) {
    const struct {
        const wchar_t *commandLine, *program;
    } cases[] = {
        {L"%SystemRoot%\\System32\\spoolsv.exe", L"%SystemRoot%\\System32\\spoolsv.exe"},
        {L"C:\\Windows\\System32\\svchost.EXE -k print", L"C:\\Windows\\System32\\svchost.EXE"},
        {L"\"C:\\Program Files\\Acme\\acme spooler.exe\" /service",
         L"C:\\Program Files\\Acme\\acme spooler.exe"},
        {L"\"C:\\unclosed quote.exe", L"C:\\unclosed quote.exe"},
        {L"C:\\tools\\runner.com /x", L"C:\\tools\\runner.com /x"}, // no .exe: as it stands
        {L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(programOf(c.commandLine), c.program) << c.commandLine;
    }
}
