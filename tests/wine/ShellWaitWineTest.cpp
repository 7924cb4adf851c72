#include <gtest/gtest.h>

#include "platform/SystemError.h"
#include "app/App.h"
#include "windows/MainWindow.h"
#include "core/system/CommandRunner.h"
#include "tests/wine/WineSupport.h"

using namespace kestrave;

namespace {

using testhelp::cpuSeconds;
using testhelp::selfPath;

std::wstring selfDir() {
    return testhelp::folderOf(selfPath());
}

struct ShellWaitWine : ::testing::Test {
    App app{::GetModuleHandleW(nullptr)};
    CommandRunner shell{app.processes, app.files, app.ui};
};

TEST_F(ShellWaitWine, ReturnsAfterTheCommandEndsWhateverItsExitCode) {
    shell.runAndWait(L"cmd.exe /c exit 3", 0);
    // A program whose exit code is STILL_ACTIVE still ends the wait.
    const ULONGLONG t0 = ::GetTickCount64();
    shell.runAndWait(L"\"" + selfPath() + L"\" --exit 259", 0);
    EXPECT_LT(::GetTickCount64() - t0, 10000u);
}

TEST_F(ShellWaitWine, ProgramThatDoesNotExistRaisesAndStartsNothing) {
    try {
        shell.runAndWait(L"kestrave-no-such-program --x", 0);
        FAIL() << "no error raised";
    } catch (const SystemError& e) {
        EXPECT_EQ(e.code(), 2u);
    }
}

// A timer that fires while the command runs is handled inside the wait.
ULONGLONG firedAt = 0;
void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (firedAt == 0) {
        firedAt = ::GetTickCount64();
    }
}

TEST_F(ShellWaitWine, EventsRunInsideTheWait) {
    firedAt = 0;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 300, onTimer);
    const ULONGLONG t0 = ::GetTickCount64();
    shell.runAndWait(L"\"" + selfPath() + L"\" --sleep 1500", 0);
    const ULONGLONG t1 = ::GetTickCount64();
    ::KillTimer(nullptr, timer);
    EXPECT_GE(t1 - t0, 1400u);
    ASSERT_NE(firedAt, 0u);
    EXPECT_LT(firedAt, t1);
}

// "sc" comes from the system directory, never from the folder beside the program.
TEST_F(ShellWaitWine, PlantedScBesideTheProgramIsNotRun) {
    const std::wstring planted = selfDir() + L"\\sc.exe";
    const std::wstring marker = selfDir() + L"\\planted-ran";
    ::DeleteFileW(marker.c_str());
    ASSERT_TRUE(::CopyFileW(selfPath().c_str(), planted.c_str(), FALSE));
    shell.runAndWait(L"sc query spooler", 0);
    EXPECT_FALSE(test::exists(marker));
    // The planted copy does leave its marker when it is run, so the check above can fail.
    shell.runAndWait(L"\"" + planted + L"\" config", 0);
    EXPECT_TRUE(test::exists(marker));
    ::DeleteFileW(marker.c_str());
    ::DeleteFileW(planted.c_str());
}

HWND closeTarget = nullptr;
void CALLBACK closeMain(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    ::PostMessageW(closeTarget, WM_CLOSE, 0, 0);
}

// The main window closed while a command runs: the wait neither spins nor loses the quit.
TEST_F(ShellWaitWine, ClosingTheMainWindowDuringAWait) {
    MainWindow form{app.platform, app.currentPrinter};
    app.ui.show(form);
    closeTarget = app.ui.hwndOf(form);
    ::SetTimer(nullptr, 0, 200, closeMain);
    const double cpu0 = cpuSeconds();
    shell.runAndWait(L"\"" + selfPath() + L"\" --sleep 3000", 0);
    const double cpu = cpuSeconds() - cpu0;
    EXPECT_FALSE(form.loaded());
    EXPECT_LT(cpu, 0.3) << "the wait spun after the quit";
    EXPECT_EQ(app.ui.run(), 0); // the quit is remembered: the main loop ends at once
}

} // namespace
